#ifndef NOCTAVI_MONITOREDENTRY_PASSWORDCODEC_H
#define NOCTAVI_MONITOREDENTRY_PASSWORDCODEC_H

#include <string>
#include <vector>

namespace MonitoredEntry {

// Turns a password into the bytes that the data file stores, and back.
// Both directions are deterministic and keep no state, so they may run on any
// thread at once. A failure throws std::bad_alloc when memory ran out, else
// pelmo::fatal_error (bytes that do not decipher, or a failed key derivation,
// which carries the message "md5 crypt failure.").
class PasswordCodec {
public:
    static std::vector<unsigned char> Encrypt(const std::wstring& plain);
    static std::wstring Decrypt(const std::vector<unsigned char>& cipher);
};

} // namespace MonitoredEntry

#endif
