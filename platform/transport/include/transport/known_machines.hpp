#ifndef TRANSPORT_KNOWN_MACHINES_HPP
#define TRANSPORT_KNOWN_MACHINES_HPP

#include <string>

namespace transport {

// The folder of the "known_machines" file, which records the public key of
// each host's self-signed certificate by host and port. Until a folder is set
// no key can be recorded, and self-signed certificates are refused.
// Thread-safe; takes effect for the connections that follow.
void set_known_machines_folder(const std::string& folder);

} // namespace transport

#endif
