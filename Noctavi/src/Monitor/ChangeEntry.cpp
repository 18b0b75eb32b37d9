#include <Noctavi/Monitor/ChangeEntry.h>

#include <Noctavi/MonitoredEntry/DBException.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/Transaction.h>

namespace Monitor {

bool ChangeEntry(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                 const std::function<void(MonitoredEntry::Entry&)>& change)
{
    try {
        MonitoredEntry::EntryManager::Transaction transaction(manager);
        if (!transaction.GetEntryDB().Contains(id))
            return false;
        const boost::shared_ptr<MonitoredEntry::Entry> entry = transaction.GetEntryDB().CloneEntry(id);
        change(*entry);
        transaction.SetEntry(entry);
        transaction.Commit();
        return true;
    } catch (const MonitoredEntry::DBException&) {
        return false;
    }
}

bool ChangeProperty(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                    const std::function<void(MonitoredEntry::EntryProperty&)>& change)
{
    return ChangeEntry(manager, id, [&](MonitoredEntry::Entry& entry) {
        MonitoredEntry::EntryProperty property = entry.GetProperty();
        change(property);
        entry.SetProperty(property);
    });
}

} // namespace Monitor
