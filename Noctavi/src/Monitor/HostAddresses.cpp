#include <Noctavi/Monitor/HostAddresses.h>

#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace Monitor {

namespace {

using boost::asio::ip::tcp;
typedef std::chrono::steady_clock Clock;

// A machine's name seldom moves; when it does, signals are matched again
// within this, and polling fetches meanwhile.
const Clock::duration kRefreshInterval = std::chrono::minutes(5);
// A name that did not resolve (the network was not up yet, say) is tried
// again sooner.
const Clock::duration kRetryInterval = std::chrono::seconds(30);

// Ports play no part in matching; a port number rather than a service name
// spares the lookup the system's services file.
HostAddresses::AddressList SystemLookup(const std::string& host)
{
    boost::asio::io_context io;
    tcp::resolver resolver(io);
    boost::system::error_code failure;
    const tcp::resolver::results_type results = resolver.resolve(host, "80", tcp::resolver::numeric_service, failure);
    HostAddresses::AddressList found;
    if (!failure) {
        for (const tcp::resolver::results_type::value_type& result : results)
            found.push_back(result.endpoint().address());
    }
    return found;
}

struct Known {
    HostAddresses::AddressList addresses;
    Clock::time_point due;
    bool pending = false;
};

} // namespace

struct HostAddresses::Pimpl : std::enable_shared_from_this<Pimpl> {
    std::mutex mutex;
    Resolver resolver = SystemLookup;
    std::map<std::string, Known> hosts;
    // Counts resolver changes, so that a lookup by a replaced one is not kept.
    std::uint64_t generation = 0;

    void LookUp(const std::string& host, Known& known);
    void Store(const std::string& host, std::uint64_t asked, const AddressList& found);
};

// Called with the mutex held. A lookup thread that cannot start leaves the
// host to be asked for again.
void HostAddresses::Pimpl::LookUp(const std::string& host, Known& known)
{
    known.pending = true;
    try {
        std::thread([self = shared_from_this(), host, lookup = resolver, asked = generation] {
            AddressList found;
            try {
                found = lookup(host);
            } catch (...) {
                Utility::TraceFailure(Utility::kTraceMonitor, "looking up the addresses of " + host + " failed");
            }
            self->Store(host, asked, found);
        }).detach();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the look-up of " + host + " could not start");
        known.pending = false;
    }
}

// A failed lookup keeps what an earlier one found.
void HostAddresses::Pimpl::Store(const std::string& host, std::uint64_t asked, const AddressList& found)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (asked != generation)
        return;
    Known& known = hosts[host];
    known.pending = false;
    known.due = Clock::now() + (found.empty() ? kRetryInterval : kRefreshInterval);
    if (!found.empty())
        known.addresses = found;
}

HostAddresses::HostAddresses()
    : pimpl_(std::make_shared<Pimpl>())
{
}

HostAddresses& HostAddresses::Get()
{
    static HostAddresses instance;
    return instance;
}

HostAddresses::AddressList HostAddresses::Find(const std::wstring& host)
{
    const std::string name = Utility::ToNarrow(host);
    if (name.empty())
        return AddressList();
    boost::system::error_code notAnAddress;
    const boost::asio::ip::address literal = boost::asio::ip::make_address(name, notAnAddress);
    if (!notAnAddress)
        return AddressList{literal};
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    Known& known = pimpl_->hosts[name];
    if (!known.pending && Clock::now() >= known.due)
        pimpl_->LookUp(name, known);
    return known.addresses;
}

void HostAddresses::Refresh(const std::wstring& host)
{
    const std::string name = Utility::ToNarrow(host);
    {
        const std::lock_guard<std::mutex> lock(pimpl_->mutex);
        const auto found = pimpl_->hosts.find(name);
        if (found != pimpl_->hosts.end())
            found->second.due = Clock::time_point();
    }
    Find(host);
}

HostAddresses::Resolver HostAddresses::SetResolver(Resolver resolver)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    std::swap(resolver, pimpl_->resolver);
    pimpl_->hosts.clear();
    ++pimpl_->generation;
    return resolver;
}

} // namespace Monitor
