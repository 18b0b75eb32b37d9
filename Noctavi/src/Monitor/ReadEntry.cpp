#include <Noctavi/Monitor/ReadEntry.h>

#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>

namespace Monitor {

bool ReadEntry(MonitoredEntry::EntryManager& manager, BasicID<long> id,
               const std::function<void(const MonitoredEntry::Entry&)>& read)
{
    MonitoredEntry::ModelLock lock(manager);
    if (!manager.GetEntryDB().Contains(id))
        return false;
    read(manager.GetEntryDB().GetEntry(id));
    return true;
}

} // namespace Monitor
