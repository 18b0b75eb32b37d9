#ifndef NOCTAVI_MONITOR_EVENTSIGNAL_H
#define NOCTAVI_MONITOR_EVENTSIGNAL_H

#include <Noctavi/Monitor/Signal.h>

#include <boost/asio/ip/address.hpp>

namespace Monitor {

// A machine's datagram: only the address it came from counts.
class EventSignal final : public Signal {
public:
    explicit EventSignal(const boost::asio::ip::address& sender);

    const boost::asio::ip::address& GetSender() const;

    // Whether the sender's address is one that the machine's host was last
    // found to resolve to (HostAddresses), ports aside. It never waits for a
    // lookup: a host whose first lookup has not ended, or that does not
    // resolve, matches nothing.
    bool Matches(const MonitoredEntry::Distinction& identity) const override;

private:
    boost::asio::ip::address sender_;
};

} // namespace Monitor

#endif
