#include <Noctavi/Monitor/MachineAccess.h>

#include <Noctavi/IS/InformationServer.h>

#include <atomic>

namespace Monitor {

namespace {

std::shared_ptr<MachineAccess> Forwarding()
{
    static const std::shared_ptr<MachineAccess> forwarding = std::make_shared<MachineAccess>();
    return forwarding;
}

// Atomic replacement, so that a monitoring thread always gets a whole instance.
std::shared_ptr<MachineAccess> g_access = Forwarding();

} // namespace

std::wstring MachineAccess::SubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user)
{
    return IS::SubscribeToRSSFeed(IS::InformationServer(machine), user);
}

void MachineAccess::UnsubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user)
{
    IS::UnsubscribeToRSSFeed(IS::InformationServer(machine), user);
}

std::unique_ptr<RSS::RSSFeed> MachineAccess::GetRSSFeed(const MonitoredEntry::MFP& machine,
                                                        const std::wstring& feedAddress,
                                                        const MonitoredEntry::User& user)
{
    return IS::GetRSSFeed(IS::InformationServer(machine), feedAddress, user);
}

std::unique_ptr<IS::MachineSettings> MachineAccess::GetMachineSettings(const MonitoredEntry::MFP& machine)
{
    return IS::GetMachineSettings(IS::InformationServer(machine));
}

std::unique_ptr<IS::UserInfo> MachineAccess::GetUserInfo(const MonitoredEntry::MFP& machine,
                                                         const MonitoredEntry::User& user)
{
    return IS::GetUserInfo(IS::InformationServer(machine), user);
}

std::shared_ptr<MachineAccess> GetMachineAccess()
{
    return std::atomic_load(&g_access);
}

void SetMachineAccess(const std::shared_ptr<MachineAccess>& access)
{
    std::atomic_store(&g_access, access ? access : Forwarding());
}

} // namespace Monitor
