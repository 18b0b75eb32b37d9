#include <Noctavi/MonitoredEntry/SearchResult.h>

namespace MonitoredEntry {

SearchResult::SearchResult(const EntryDB& db, const EntryDB::Predicate& predicate)
    : begin_(predicate, db.begin(), db.end())
    , end_(predicate, db.end(), db.end())
{
}

} // namespace MonitoredEntry
