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

    // Whether the machine's host resolves to the sender's address, ports
    // aside: resolved for "https" first when the machine uses SSL and has an
    // HTTPS port, then for "http". A host that does not resolve matches
    // nothing. Resolving may take long: call it with no lock held.
    bool Matches(const MonitoredEntry::Distinction& identity) const override;

private:
    boost::asio::ip::address sender_;
};

} // namespace Monitor

#endif
