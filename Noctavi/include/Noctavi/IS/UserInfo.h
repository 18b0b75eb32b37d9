#ifndef NOCTAVI_IS_USERINFO_H
#define NOCTAVI_IS_USERINFO_H

#include <string>
#include <utility>

namespace IS {

// What a machine tells of one of its users.
class UserInfo {
public:
    explicit UserInfo(std::string displayName)
        : displayName_(std::move(displayName))
    {
    }

    const std::string& GetDisplayName() const { return displayName_; }

private:
    std::string displayName_;
};

} // namespace IS

#endif
