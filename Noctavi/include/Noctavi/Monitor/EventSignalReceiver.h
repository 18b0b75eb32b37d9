#ifndef NOCTAVI_MONITOR_EVENTSIGNALRECEIVER_H
#define NOCTAVI_MONITOR_EVENTSIGNALRECEIVER_H

#include <boost/shared_ptr.hpp>

namespace Monitor {

class EventSignalObserver;

// Listens for the datagrams by which machines signal news to a subscribed
// client, on one IPv4 UDP socket bound to every local address at "PORT", and
// hands every attached observer an EventSignal with each datagram's sender.
// A datagram's content is never read, and one of no bytes is no signal.
//
// Three threads serve the socket while the receiver is started. A failing
// observer costs that one call; a receive error delays the next receive
// instead of ending receiving. Stopping and starting again goes on with the
// same socket, and a datagram that came meanwhile is delivered then, once.
class EventSignalReceiver {
public:
    // Throws boost::system::system_error when the port cannot be bound, for
    // instance because another program holds it.
    EventSignalReceiver();
    // Stops, swallowing every exception.
    ~EventSignalReceiver();
    EventSignalReceiver(const EventSignalReceiver&) = delete;
    EventSignalReceiver& operator=(const EventSignalReceiver&) = delete;

    // False when the observer is attached already.
    bool Attach(EventSignalObserver* observer);
    // False when it was not attached. Waits for a call to the observer in
    // progress, so that afterwards it is not called again; hence never to be
    // called from the observer's own OnSignal.
    bool Detach(EventSignalObserver* observer);

    // Both do nothing when the receiver is started, or stopped, already.
    void Start();
    // Interrupts the threads, so that an observer waiting interruptibly lets
    // go, and waits for them to end.
    void Stop();

    // The bound port: "PORT", or the one the system chose when that is 0.
    int GetPort() const;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace Monitor

#endif
