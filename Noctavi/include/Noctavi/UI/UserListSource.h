#ifndef NOCTAVI_UI_USERLISTSOURCE_H
#define NOCTAVI_UI_USERLISTSOURCE_H

#include <Noctavi/UI/VirtualList/Source.h>

#include <boost/shared_ptr.hpp>

#include <vector>

namespace IS {
class User;
}
namespace MonitoredEntry {
class MFP;
}

namespace UI {

// A machine's users, one row each, keyed by their place in the list, under a
// recursive lock of the source's own.
class UserListSource : public VirtualList::Source<unsigned int> {
public:
    // No users at first.
    UserListSource();

    // Asks the machine for its user list and takes it. A failed request
    // (HTTP::Error and its kin) passes to the caller and keeps the users.
    // It waits on the machine.
    void SetUsers(const MonitoredEntry::MFP& machine);
    // Takes a user list fetched elsewhere, such as on a worker thread.
    void ReplaceUsers(std::vector<IS::User> users);

    // 0, 1, ..., n - 1.
    std::unique_ptr<Keys> GetKeys() const override;
    bool Exists(const Key& index) const override;
    void Lock() override;
    void Unlock() noexcept override;

    // The user of an index that exists.
    const IS::User& GetUser(const Key& index) const;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
