#ifndef NOCTAVI_IS_USER_H
#define NOCTAVI_IS_USER_H

#include <string>
#include <utility>

namespace IS {

// One user of a machine's user list: its place in the list (1 for the first),
// its display name and its user name (the account ID).
class User {
public:
    User(long number, std::string displayName, std::string userName)
        : number_(number)
        , displayName_(std::move(displayName))
        , userName_(std::move(userName))
    {
    }

    long GetNumber() const { return number_; }
    const std::string& GetDisplayName() const { return displayName_; }
    const std::string& GetUserName() const { return userName_; }

private:
    long number_;
    std::string displayName_;
    std::string userName_;
};

} // namespace IS

#endif
