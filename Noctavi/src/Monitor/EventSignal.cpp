#include <Noctavi/Monitor/EventSignal.h>

#include <Noctavi/Monitor/HostAddresses.h>
#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/MFP.h>

#include <algorithm>

namespace Monitor {

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
    const HostAddresses::AddressList known = HostAddresses::Get().Find(identity.GetMFP().GetHost());
    return std::find(known.begin(), known.end(), sender_) != known.end();
}

} // namespace Monitor
