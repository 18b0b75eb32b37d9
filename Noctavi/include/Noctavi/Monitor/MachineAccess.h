#ifndef NOCTAVI_MONITOR_MACHINEACCESS_H
#define NOCTAVI_MONITOR_MACHINEACCESS_H

#include <Noctavi/IS/MachineSettings.h>
#include <Noctavi/IS/UserInfo.h>
#include <Noctavi/RSS/RSSFeed.h>

#include <memory>
#include <string>

namespace MonitoredEntry {
class MFP;
class User;
} // namespace MonitoredEntry

namespace Monitor {

// The requests that the monitoring threads make of a machine, each through a
// new IS::InformationServer for the machine and with the process-wide
// time-outs and listen port: they fail as those do. The process-wide
// instance forwards to IS::; tests put one in its place to script the
// machine's answers or hold a request while they arrange a race.
//
// One instance serves every monitoring thread at once.
class MachineAccess {
public:
    MachineAccess() = default;
    MachineAccess(const MachineAccess&) = delete;
    MachineAccess& operator=(const MachineAccess&) = delete;
    virtual ~MachineAccess() = default;

    // Gives the address of the user's feed.
    virtual std::wstring SubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user);
    virtual void UnsubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user);
    virtual std::unique_ptr<RSS::RSSFeed> GetRSSFeed(const MonitoredEntry::MFP& machine,
                                                     const std::wstring& feedAddress,
                                                     const MonitoredEntry::User& user);
    virtual std::unique_ptr<IS::MachineSettings> GetMachineSettings(const MonitoredEntry::MFP& machine);
    virtual std::unique_ptr<IS::UserInfo> GetUserInfo(const MonitoredEntry::MFP& machine,
                                                      const MonitoredEntry::User& user);
};

// The process-wide instance; callers keep the pointer for the length of a
// request, so that replacing the instance meanwhile is safe.
std::shared_ptr<MachineAccess> GetMachineAccess();
// Replaces it; none puts back the one that forwards to IS::.
void SetMachineAccess(const std::shared_ptr<MachineAccess>& access);

} // namespace Monitor

#endif
