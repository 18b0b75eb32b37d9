#ifndef NOCTAVI_MONITOREDENTRY_USER_H
#define NOCTAVI_MONITOREDENTRY_USER_H

#include <Noctavi/MonitoredEntry/Password.h>

#include <pelmo/cloner.hpp>

#include <boost/optional.hpp>

#include <string>

namespace MonitoredEntry {

// An account on a machine: its display name, its account ID (the user name
// sent to the machine) and its password.
class User {
public:
    // No name, empty ID, empty password.
    User();
    User(const boost::optional<std::wstring>& name, const std::wstring& id, const Password& password);

    const boost::optional<std::wstring>& GetName() const;
    void SetName(const boost::optional<std::wstring>& name);
    const std::wstring& GetID() const;
    void SetID(const std::wstring& id);
    const Password& GetPassword() const;
    void SetPassword(const Password& password);

    // A present name is not empty, the ID is neither empty nor holds a
    // control character, and the password is valid. Throws what deciphering
    // the password throws.
    bool IsValid() const;

    // Names and IDs compare exactly, passwords by the text they stand for.
    bool operator==(const User& other) const;
    bool operator!=(const User& other) const { return !(*this == other); }

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
