#ifndef NOCTAVI_TESTS_SUPPORT_MODELVALUES_H
#define NOCTAVI_TESTS_SUPPORT_MODELVALUES_H

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>

#include <boost/make_shared.hpp>

#include <functional>
#include <string>
#include <vector>

namespace testvalues {

// A valid property for an entry on the host, within the default limits.
inline MonitoredEntry::EntryProperty Property(const std::wstring& host, bool monitoring = true)
{
    namespace M = MonitoredEntry;
    return M::EntryProperty(monitoring, M::MFP(boost::none, host, 80, boost::none, false),
                            M::User(boost::none, L"alice", M::Password()), M::Config(5, 60000, true, 0, false, false));
}

inline MonitoredEntry::EventProperty Event(const std::wstring& info)
{
    return MonitoredEntry::EventProperty(L"Box", info, boost::none, boost::none,
                                         RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900"));
}

// Adds an entry for the property in a transaction of its own.
inline BasicID<long> Add(MonitoredEntry::EntryManager& manager, const MonitoredEntry::EntryProperty& property)
{
    MonitoredEntry::EntryManager::Transaction transaction(manager);
    const BasicID<long> id = transaction.Append(property);
    transaction.Commit();
    return id;
}

// Changes the entry's property in a transaction of its own.
inline void Change(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                   const std::function<void(MonitoredEntry::EntryProperty&)>& change)
{
    MonitoredEntry::EntryManager::Transaction transaction(manager);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    MonitoredEntry::EntryProperty property = entry->GetProperty();
    change(property);
    entry->SetProperty(property);
    transaction.SetEntry(entry);
    transaction.Commit();
}

// Stores the entry as the table's only one bypassing the model's checks, as a
// damaged data file might.
inline void Store(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                  const MonitoredEntry::EntryProperty& property)
{
    MonitoredEntry::ModelLock lock(manager);
    MonitoredEntry::EntryDB& db = manager.GetEntryDB();
    db.Restore(db.GetNextID(), {boost::make_shared<MonitoredEntry::Entry>(id, property)});
}

// The IDs of a table's or a search's entries, in their order.
template <class Entries>
std::vector<int> IDs(const Entries& entries)
{
    std::vector<int> ids;
    for (const MonitoredEntry::Entry& entry : entries)
        ids.push_back(entry.GetID().GetValue());
    return ids;
}

} // namespace testvalues

#endif
