#ifndef NOCTAVI_MONITOR_EVENTSIGNALOBSERVER_H
#define NOCTAVI_MONITOR_EVENTSIGNALOBSERVER_H

namespace Monitor {

class Signal;

// Told of every signal that the receiver gets, on one of its threads, with
// no lock of the receiver held. A slow OnSignal delays the signals after it;
// one that waits should wait interruptibly, since stopping the receiver
// interrupts its threads.
class EventSignalObserver {
public:
    EventSignalObserver() = default;
    EventSignalObserver(const EventSignalObserver&) = delete;
    EventSignalObserver& operator=(const EventSignalObserver&) = delete;
    virtual ~EventSignalObserver() = default;

    virtual void OnSignal(const Signal& signal) = 0;
};

} // namespace Monitor

#endif
