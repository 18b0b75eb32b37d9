#include <Noctavi/MonitoredEntry/MarkRead.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/Transaction.h>

namespace MonitoredEntry {

void MarkRead(EntryManager& manager, BasicID<long> entryId, BasicID<long> eventId)
{
    EntryManager::Transaction transaction(manager);
    EntryDB& db = transaction.GetEntryDB();
    if (!db.Contains(entryId))
        return;
    const boost::shared_ptr<Entry> entry = db.CloneEntry(entryId);
    const boost::shared_ptr<EventLog> log = entry->GetEventLog();
    if (!log->Contains(eventId))
        return;
    Event event = log->GetEvent(eventId);
    event.SetRead(true);
    log->SetEvent(event);
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
    transaction.Commit();
}

} // namespace MonitoredEntry
