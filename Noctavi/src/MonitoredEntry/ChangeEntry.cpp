#include <Noctavi/MonitoredEntry/ChangeEntry.h>

#include <Noctavi/MonitoredEntry/DBException.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/Transaction.h>

namespace MonitoredEntry {

bool ChangeEntry(EntryManager& manager, BasicID<long> id,
                 const std::function<void(EntryManager::Transaction&, Entry&)>& change)
{
    EntryManager::Transaction transaction(manager);
    if (!transaction.GetEntryDB().Contains(id))
        return false;
    const boost::shared_ptr<Entry> entry = transaction.GetEntryDB().CloneEntry(id);
    change(transaction, *entry);
    transaction.SetEntry(entry);
    transaction.Commit();
    return true;
}

bool ChangeProperty(EntryManager& manager, BasicID<long> id, const std::function<void(EntryProperty&)>& change)
{
    try {
        return ChangeEntry(manager, id, [&](EntryManager::Transaction&, Entry& entry) {
            EntryProperty property = entry.GetProperty();
            change(property);
            entry.SetProperty(property);
        });
    } catch (const DBException&) {
        return false;
    }
}

} // namespace MonitoredEntry
