#ifndef DISCOVERY_ROUND_HPP
#define DISCOVERY_ROUND_HPP

#include <discovery/machine.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace discovery {

// Where a round sends its queries: a dotted IPv4 address and a UDP port.
struct endpoint {
    std::string address;
    std::uint16_t port = 0;
};

// The multicast DNS group, which every responder on the link listens to.
inline const endpoint mdns_group{"224.0.0.251", 5353};

struct round_options {
    endpoint target = mdns_group;
    // The round ends this long after its first query, whatever arrives.
    std::chrono::milliseconds duration{1500};
    // Machines beyond this many are not kept.
    std::size_t max_machines = 64;
};

// What run_round returns.
namespace result {
constexpr int success = 0;
// The socket could not be made, no query at all could be sent, a reply could
// not be received, or the target is no IPv4 address; errno tells why.
constexpr int network_failure = 2;
// Anything else the system refused (memory); errno tells why.
constexpr int system_failure = 4;
} // namespace result

// One round of DNS-SD: asks the target, from an ephemeral port, for the
// instances of "_ipp._tcp.local", "_http._tcp.local" and "_https._tcp.local",
// then for the SRV, TXT and A records that the replies lacked, and joins what
// came by IPv4 address. What has not come is asked again during the round; a
// query that the system refuses counts as lost. When the target is the
// multicast DNS group, the round also asks from port 5353, shared with any
// responder of this host, for unicast responses, listing the instances it
// knows in full as known answers: so responders send what their one-shot
// replies, cut at 512 bytes, left out. Replies are taken from any sender and
// any number per query; a datagram that is not a well-formed reply to the
// round's queries is ignored. Queries go to the target only, never to an
// address a reply names.
//
// Gives the machines in the order their names were first seen; on failure
// `found` is left empty and errno set. Never throws.
int run_round(const round_options& options, std::vector<machine>& found) noexcept;

} // namespace discovery

#endif
