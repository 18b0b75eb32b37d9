#include <Noctavi/MonitoredEntry/ReadEntry.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>

namespace MonitoredEntry {

bool ReadEntry(EntryManager& manager, BasicID<long> id, const std::function<void(const Entry&)>& read)
{
    const ModelLock lock(manager);
    if (!manager.GetEntryDB().Contains(id))
        return false;
    read(manager.GetEntryDB().GetEntry(id));
    return true;
}

boost::optional<EntryProperty> CopyProperty(EntryManager& manager, BasicID<long> id)
{
    boost::optional<EntryProperty> property;
    ReadEntry(manager, id, [&](const Entry& entry) { property = entry.GetProperty(); });
    return property;
}

} // namespace MonitoredEntry
