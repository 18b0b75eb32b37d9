#include <Noctavi/UI/LoginPage.h>

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>

namespace UI {

namespace {

// The machine's page for the user's stored documents.
constexpr int kLoginPageMode = 3;

} // namespace

void OpenLoginPage(MonitoredEntry::EntryManager& manager, BasicID<long> entryId)
{
    MonitoredEntry::ModelLock modelLock(manager);
    const MonitoredEntry::EntryDB& entries = manager.GetEntryDB();
    if (!entries.Contains(entryId))
        return;
    const MonitoredEntry::EntryProperty property = entries.GetEntry(entryId).GetProperty();
    modelLock.Unlock();
    IS::InformationServer(property.GetMFP()).OpenPage(property.GetUser(), kLoginPageMode);
}

} // namespace UI
