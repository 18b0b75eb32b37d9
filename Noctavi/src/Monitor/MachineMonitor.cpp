#include <Noctavi/Monitor/MachineMonitor.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/Monitor/MachineAccess.h>
#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/chrono/duration.hpp>
#include <boost/make_shared.hpp>
#include <boost/optional.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <functional>
#include <string>

namespace Monitor {

namespace {

using MonitoredEntry::ChangeProperty;
using MonitoredEntry::EntryProperty;
using MonitoredEntry::ReadEntry;

// A reply's name as the entry stores it: an empty text is no name.
boost::optional<std::wstring> StoredName(const std::string& name)
{
    if (name.empty())
        return boost::none;
    return Utility::ToWide(name);
}

} // namespace

struct MachineMonitor::Pimpl {
    Pimpl(BasicID<long> id, MonitoredEntry::EntryManager& model)
        : manager(model)
        , entryID(id)
    {
    }

    MonitoredEntry::EntryManager& manager;
    const BasicID<long> entryID;
    boost::mutex mutex;
    MonitoredEntry::Distinction identity;

    MonitoredEntry::Distinction Identity();
    void CheckMachineSettings();
    void CheckUserInfo();
    void Check(const std::function<std::string(const MonitoredEntry::Distinction&)>& readName,
               const std::function<void(EntryProperty&, const boost::optional<std::wstring>&)>& store);
};

MonitoredEntry::Distinction MachineMonitor::Pimpl::Identity()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    return identity;
}

void MachineMonitor::Pimpl::CheckMachineSettings()
{
    Check([](const MonitoredEntry::Distinction& target) {
              return GetMachineAccess()->GetMachineSettings(target.GetMFP())->GetMachineName();
          },
          [](EntryProperty& property, const boost::optional<std::wstring>& name) {
              MonitoredEntry::MFP machine = property.GetMFP();
              machine.SetName(name);
              property.SetMFP(machine);
          });
}

void MachineMonitor::Pimpl::CheckUserInfo()
{
    Check([](const MonitoredEntry::Distinction& target) {
              return GetMachineAccess()->GetUserInfo(target.GetMFP(), target.GetUser())->GetDisplayName();
          },
          [](EntryProperty& property, const boost::optional<std::wstring>& name) {
              MonitoredEntry::User user = property.GetUser();
              user.SetName(name);
              property.SetUser(user);
          });
}

// A failed request leaves the name as it is. After every answer the entry is
// written, changed or not.
void MachineMonitor::Pimpl::Check(
    const std::function<std::string(const MonitoredEntry::Distinction&)>& readName,
    const std::function<void(EntryProperty&, const boost::optional<std::wstring>&)>& store)
{
    const MonitoredEntry::Distinction target = Identity();
    boost::this_thread::interruption_point();
    boost::optional<std::wstring> name;
    try {
        name = StoredName(readName(target));
    } catch (const HTTP::Error&) {
        return;
    }
    ChangeProperty(manager, entryID, [&](EntryProperty& property) { store(property, name); });
}

MachineMonitor::MachineMonitor(BasicID<long> entryID, MonitoredEntry::EntryManager& manager)
    : pimpl_(boost::make_shared<Pimpl>(entryID, manager))
{
}

MachineMonitor::~MachineMonitor()
{
    try {
        Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "a machine monitor's thread ended in a failure");
    }
}

BasicID<long> MachineMonitor::GetEntryID() const
{
    return pimpl_->entryID;
}

void MachineMonitor::Load()
{
    Pimpl& self = *pimpl_;
    boost::optional<MonitoredEntry::Distinction> fresh;
    ReadEntry(self.manager, self.entryID, [&](const MonitoredEntry::Entry& entry) { fresh.emplace(entry); });
    if (!fresh)
        return;
    boost::lock_guard<boost::mutex> lock(self.mutex);
    self.identity = *fresh;
}

int MachineMonitor::Run()
{
    Pimpl& self = *pimpl_;
    Load();
    for (;;) {
        self.CheckMachineSettings();
        self.CheckUserInfo();
        boost::this_thread::sleep_for(boost::chrono::milliseconds(GetConfigLimits().MachineMonitorInterval));
    }
}

} // namespace Monitor
