#ifndef TRANSPORT_KNOWN_MACHINES_HPP
#define TRANSPORT_KNOWN_MACHINES_HPP

#include <string>

namespace transport {

// The folder of the "known_machines" file, which records the public key of
// each host's certificate by host and port: self-signed keys on first use,
// and the key of every certificate the trust store verifies, so that a
// self-signed key met later in its place counts as a changed key. Until a
// folder is set no key can be recorded, and self-signed certificates are
// refused.
// Thread-safe; takes effect for the connections that follow.
void set_known_machines_folder(const std::string& folder);

} // namespace transport

#endif
