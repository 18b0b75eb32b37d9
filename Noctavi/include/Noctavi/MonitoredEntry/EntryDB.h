#ifndef NOCTAVI_MONITOREDENTRY_ENTRYDB_H
#define NOCTAVI_MONITOREDENTRY_ENTRYDB_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/Entry.h>

#include <boost/function.hpp>
#include <boost/iterator/indirect_iterator.hpp>
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <vector>

namespace MonitoredEntry {

class SearchResult;

// The table of every entry, in ascending ID order, and the counter that hands
// out entry IDs. A stored entry is never changed: SetEntry replaces it with a
// copy, so that whoever gave the entry cannot change it afterwards, and a
// save that reads the table outside the model lock reads whole entries.
//
// The table has no lock of its own: callers hold the entry manager's model
// lock around every call and every use of a returned reference, iterator or
// search result, and change it only inside a transaction.
class EntryDB {
public:
    typedef std::vector<boost::shared_ptr<const Entry>> EntryList;
    typedef boost::indirect_iterator<EntryList::const_iterator, const Entry> const_iterator;
    typedef boost::function<bool(const Entry&)> Predicate;

    EntryDB();
    EntryDB(const EntryDB&) = delete;
    EntryDB& operator=(const EntryDB&) = delete;

    // Both throw MissingEntry when no entry has the ID.
    const Entry& GetEntry(BasicID<long> id) const;
    // A copy that the caller may change and store back; it shares the stored
    // entry's event log until given a new one.
    boost::shared_ptr<Entry> CloneEntry(BasicID<long> id) const;

    // Replaces the stored entry with the same ID by a copy of the given one
    // (sharing its event log, which is never changed). Throws InvalidEntry
    // when the entry is missing or invalid (tested first), else MissingEntry
    // when no stored entry has its ID.
    void SetEntry(const boost::shared_ptr<Entry>& entry);

    bool Contains(BasicID<long> id) const;
    // The entries for which the predicate holds, in table order.
    boost::shared_ptr<SearchResult> Search(const Predicate& predicate) const;

    // Stores a new entry for the property with an empty event log and gives
    // its ID. Throws InvalidEntry, changing nothing, when the property's
    // machine, user or settings are invalid.
    BasicID<long> Append(const EntryProperty& property);
    // Removes the entry; false when none has the ID.
    bool Erase(BasicID<long> id);

    // Unread events over every entry's log.
    int CountUnread() const;
    std::size_t Size() const;
    const_iterator begin() const;
    const_iterator end() const;

    // The counter's current value and the stored list, and their restoration:
    // how a transaction rolls back and how stored tables are loaded. The list
    // given to Restore must be in ascending ID order.
    BasicID<long> GetNextID() const;
    const EntryList& GetEntryList() const;
    void Restore(BasicID<long> nextID, EntryList entries) noexcept;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
