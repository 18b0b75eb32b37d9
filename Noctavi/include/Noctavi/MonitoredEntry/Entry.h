#ifndef NOCTAVI_MONITOREDENTRY_ENTRY_H
#define NOCTAVI_MONITOREDENTRY_ENTRY_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/RSS/RSSFeed.h>

#include <pelmo/cloner.hpp>

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {

class EventLog;

// One monitored entry: its fixed ID, what the user edits, its event log and
// the feed last processed for it.
//
// Copies of an entry share its event log until one of them is given a new
// log with SetEventLog; the log is never changed once an entry holds it.
// Everything else is copied deeply.
class Entry {
public:
    // ID 0, default property, an empty log of maximum 0, no feed.
    Entry();
    // A new entry: an empty log kept to property.Config.LogMax events, no feed.
    Entry(BasicID<long> id, const EntryProperty& property);

    BasicID<long> GetID() const;
    const EntryProperty& GetProperty() const;
    void SetProperty(const EntryProperty& property);

    // A new copy of the log, which the caller may change and set back.
    boost::shared_ptr<EventLog> GetEventLog() const;
    // The log itself, read-only, for readers that need its events in place
    // rather than in a copy that goes away while they still refer to it.
    boost::shared_ptr<const EventLog> GetSharedEventLog() const;
    // Takes a copy of the given log as the entry's, so that the caller cannot
    // change it afterwards; throws pelmo::logic_error for none.
    void SetEventLog(const boost::shared_ptr<EventLog>& log);

    const boost::optional<RSS::RSSFeed>& GetLatestRSSFeed() const;
    void SetLatestRSSFeed(const boost::optional<RSS::RSSFeed>& feed);

    // Machine, user and settings are valid (tested in this order), the log
    // holds no more events than its maximum, and a present feed is valid.
    bool IsValid() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
