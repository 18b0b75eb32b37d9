#include <Noctavi/MonitoredEntry/User.h>

#include <Noctavi/MonitoredEntry/InputChecks.h>

namespace MonitoredEntry {

struct User::Pimpl {
    boost::optional<std::wstring> name;
    std::wstring id;
    Password password;
};

User::User()
    : pimpl_(new Pimpl)
{
}

User::User(const boost::optional<std::wstring>& name, const std::wstring& id, const Password& password)
    : pimpl_(new Pimpl{name, id, password})
{
}

const boost::optional<std::wstring>& User::GetName() const
{
    return pimpl_->name;
}

void User::SetName(const boost::optional<std::wstring>& name)
{
    pimpl_->name = name;
}

const std::wstring& User::GetID() const
{
    return pimpl_->id;
}

void User::SetID(const std::wstring& id)
{
    pimpl_->id = id;
}

const Password& User::GetPassword() const
{
    return pimpl_->password;
}

void User::SetPassword(const Password& password)
{
    pimpl_->password = password;
}

bool User::IsValid() const
{
    const Pimpl& u = *pimpl_;
    return (!u.name || IsNonEmptyString(*u.name)) && IsNonEmptyString(u.id) && HasNoControlCharacters(u.id)
        && u.password.IsValid();
}

bool User::operator==(const User& other) const
{
    const Pimpl& a = *pimpl_;
    const Pimpl& b = *other.pimpl_;
    return a.name == b.name && a.id == b.id && a.password == b.password;
}

} // namespace MonitoredEntry
