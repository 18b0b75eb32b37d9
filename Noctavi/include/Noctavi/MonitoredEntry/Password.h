#ifndef NOCTAVI_MONITOREDENTRY_PASSWORD_H
#define NOCTAVI_MONITOREDENTRY_PASSWORD_H

#include <pelmo/cloner.hpp>

#include <string>
#include <vector>

namespace MonitoredEntry {

// An account's password, held only in its enciphered form.
class Password {
public:
    // No bytes; its text is the empty text.
    Password();
    // Enciphers the text at once.
    explicit Password(const std::wstring& text);

    const std::vector<unsigned char>& GetData() const;
    void SetData(const std::vector<unsigned char>& data);

    // Deciphers the stored bytes; throws what the password codec throws.
    std::wstring GetText() const;

    // At most 28 characters, all ASCII, none a control character. Throws
    // what deciphering throws.
    bool IsValid() const;

    // Equal when both stand for the same text, so that no bytes and the
    // cipher of the empty text are the same empty password.
    bool operator==(const Password& other) const;
    bool operator!=(const Password& other) const { return !(*this == other); }

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
