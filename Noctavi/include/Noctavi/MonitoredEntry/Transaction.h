#ifndef NOCTAVI_MONITOREDENTRY_TRANSACTION_H
#define NOCTAVI_MONITOREDENTRY_TRANSACTION_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {

class Entry;
class EntryProperty;
class SearchResult;

// The one way to change the model: holds the model lock from construction to
// destruction and keeps a snapshot of the table as it found it. Committed, it
// releases the lock and then queues one notification; not committed (no
// Commit, or an exception on the way), it puts the snapshot back and
// notifies nobody. A transaction opened inside another on the same thread
// keeps its own snapshot.
class EntryManager::Transaction {
public:
    explicit Transaction(EntryManager& manager);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    EntryDB& GetEntryDB();

    // The table's SetEntry, refused with DuplicateEntry first when the entry is
    // monitored and another monitored entry has its host.
    void SetEntry(const boost::shared_ptr<Entry>& entry);
    // The table's Append, refused with OverLimitEntryCount when the table holds
    // the most entries the settings allow, else with DuplicateEntry when any
    // entry has the property's host.
    BasicID<long> Append(const EntryProperty& property);
    boost::shared_ptr<SearchResult> Search(const EntryDB::Predicate& predicate);

    void Commit();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
