#ifndef PELMO_NETWORK_ADDRESS_HPP
#define PELMO_NETWORK_ADDRESS_HPP

#include <string>

namespace pelmo {
namespace network {

// True when the whole text is a dotted IPv4 address: four decimal octets of
// 0 to 255 without leading zeros.
bool is_ipv4_address(const std::string& text);

// True when the whole text, at most 255 characters, is a run of dot-separated
// labels of ASCII letters and digits, with "-" and "_" allowed inside a label
// but not at its ends. Every IPv4 address also passes, so test that form first.
bool is_host_name(const std::string& text);

} // namespace network
} // namespace pelmo

#endif
