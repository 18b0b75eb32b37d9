#ifndef NOCTAVI_MONITOREDENTRY_SEARCHRESULT_H
#define NOCTAVI_MONITOREDENTRY_SEARCHRESULT_H

#include <Noctavi/MonitoredEntry/EntryDB.h>

#include <boost/iterator/filter_iterator.hpp>

namespace MonitoredEntry {

// The entries of a table that match a predicate, found while iterating. It
// reads the live table, so it is valid only while the caller holds the model
// lock and the table does not change.
class SearchResult {
public:
    typedef boost::filter_iterator<EntryDB::Predicate, EntryDB::const_iterator> const_iterator;

    SearchResult(const EntryDB& db, const EntryDB::Predicate& predicate);

    const_iterator begin() const { return begin_; }
    const_iterator end() const { return end_; }
    bool empty() const { return begin_ == end_; }

private:
    const_iterator begin_;
    const_iterator end_;
};

} // namespace MonitoredEntry

#endif
