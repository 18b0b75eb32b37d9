#ifndef NOCTAVI_UI_OPENLOGINPAGE_H
#define NOCTAVI_UI_OPENLOGINPAGE_H

#include <Noctavi/MonitoredEntry/BasicID.h>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// Opens the entry's page on its machine in the web browser, logged in as the
// entry's user; nothing when the entry has gone. The entry is copied under
// the model lock and the browser started after it is released.
void OpenLoginPage(MonitoredEntry::EntryManager& manager, BasicID<long> entryId);

} // namespace UI

#endif
