#ifndef NOCTAVI_MONITOR_HOSTADDRESSES_H
#define NOCTAVI_MONITOR_HOSTADDRESSES_H

#include <boost/asio/ip/address.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Monitor {

// The addresses that the machines' host names resolve to, so that a signal
// is matched without a lookup. A name lookup cannot be interrupted and may
// wait long for a name server that does not answer, so lookups run on
// threads that nobody waits for, one per host at a time; callers only ever
// see what the last finished lookup found. A host given as an address is
// its own address, without a lookup.
//
// One instance serves the whole process.
class HostAddresses {
public:
    typedef std::vector<boost::asio::ip::address> AddressList;
    // The lookup; none found, or a failure, is an empty list.
    typedef std::function<AddressList(const std::string& host)> Resolver;

    static HostAddresses& Get();

    // What the host was last found to resolve to: nothing before its first
    // lookup has ended. Asks for a lookup when there has been none, or the
    // last is older than the refresh interval.
    AddressList Find(const std::wstring& host);
    // Asks for a lookup now: the host of an entry is new or has changed.
    void Refresh(const std::wstring& host);

    // Tests put a resolver that they control in place of the system's, and
    // forget what was found; the previous one is returned.
    Resolver SetResolver(Resolver resolver);

private:
    HostAddresses();

    struct Pimpl;
    std::shared_ptr<Pimpl> pimpl_;
};

} // namespace Monitor

#endif
