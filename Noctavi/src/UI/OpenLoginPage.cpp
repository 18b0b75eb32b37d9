#include <Noctavi/UI/OpenLoginPage.h>

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>

namespace UI {

void OpenLoginPage(MonitoredEntry::EntryManager& manager, BasicID<long> entryId)
{
    if (const boost::optional<MonitoredEntry::EntryProperty> property = MonitoredEntry::CopyProperty(manager, entryId))
        IS::InformationServer(property->GetMFP()).OpenPage(property->GetUser(), IS::PageMode::Login);
}

} // namespace UI
