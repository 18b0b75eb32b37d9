#ifndef NOCTAVI_IS_MACHINESETTINGS_H
#define NOCTAVI_IS_MACHINESETTINGS_H

#include <string>
#include <utility>

namespace IS {

// What a machine tells of itself: its name, whether a user's account must be
// typed in rather than picked from the machine's list of its users (security
// policy 2 gives true, 1 false) and whether guests may log in.
class MachineSettings {
public:
    MachineSettings(std::string machineName, bool securityPolicy, bool guestLogin)
        : machineName_(std::move(machineName))
        , securityPolicy_(securityPolicy)
        , guestLogin_(guestLogin)
    {
    }

    const std::string& GetMachineName() const { return machineName_; }
    bool GetSecurityPolicy() const { return securityPolicy_; }
    bool GetGuestLogin() const { return guestLogin_; }

private:
    std::string machineName_;
    bool securityPolicy_;
    bool guestLogin_;
};

} // namespace IS

#endif
