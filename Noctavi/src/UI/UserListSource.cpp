#include <Noctavi/UI/UserListSource.h>

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/IS/User.h>

#include <boost/make_shared.hpp>

#include <mutex>
#include <numeric>

namespace UI {

struct UserListSource::Pimpl {
    std::vector<IS::User> users;
    std::recursive_mutex lock;
};

UserListSource::UserListSource()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

void UserListSource::SetUsers(const MonitoredEntry::MFP& machine)
{
    ReplaceUsers(std::move(*IS::GetUserList(IS::InformationServer(machine))));
}

void UserListSource::ReplaceUsers(std::vector<IS::User> users)
{
    const std::lock_guard<std::recursive_mutex> lock(pimpl_->lock);
    pimpl_->users.swap(users);
}

std::unique_ptr<UserListSource::Keys> UserListSource::GetKeys() const
{
    auto keys = std::make_unique<Keys>(pimpl_->users.size());
    std::iota(keys->begin(), keys->end(), 0u);
    return keys;
}

bool UserListSource::Exists(const Key& index) const
{
    return index < pimpl_->users.size();
}

void UserListSource::Lock()
{
    pimpl_->lock.lock();
}

void UserListSource::Unlock() noexcept
{
    pimpl_->lock.unlock();
}

const IS::User& UserListSource::GetUser(const Key& index) const
{
    return pimpl_->users.at(index);
}

} // namespace UI
