#include <Noctavi/Monitor/EventSignal.h>

#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/Utility/TextConversion.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <string>
#include <vector>

namespace Monitor {

namespace {

using boost::asio::ip::tcp;

// The services' port numbers rather than their names, which would need the
// system's services file.
std::vector<const char*> Services(const MonitoredEntry::MFP& machine)
{
    if (machine.GetSSL() && machine.GetHTTPS())
        return {"443", "80"};
    return {"80"};
}

bool ResolvesTo(const std::string& host, const char* service, const boost::asio::ip::address& sender)
{
    boost::asio::io_context io;
    tcp::resolver resolver(io);
    boost::system::error_code failure;
    const tcp::resolver::results_type results =
        resolver.resolve(host, service, tcp::resolver::numeric_service, failure);
    if (failure)
        return false;
    for (const tcp::resolver::results_type::value_type& found : results) {
        if (found.endpoint().address() == sender)
            return true;
    }
    return false;
}

} // namespace

EventSignal::EventSignal(const boost::asio::ip::address& sender)
    : sender_(sender)
{
}

const boost::asio::ip::address& EventSignal::GetSender() const
{
    return sender_;
}

bool EventSignal::Matches(const MonitoredEntry::Distinction& identity) const
{
    const MonitoredEntry::MFP& machine = identity.GetMFP();
    if (machine.GetHost().empty())
        return false;
    const std::string host = Utility::ToNarrow(machine.GetHost());
    for (const char* service : Services(machine)) {
        if (ResolvesTo(host, service, sender_))
            return true;
    }
    return false;
}

} // namespace Monitor
