#ifndef NOCTAVI_MONITOREDENTRY_EVENTLOG_H
#define NOCTAVI_MONITOREDENTRY_EVENTLOG_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <pelmo/cloner.hpp>

#include <cstddef>
#include <vector>

namespace MonitoredEntry {

// An entry's events in arrival order, oldest first, kept to a maximum number:
// appending to a full log drops the oldest events. Each appended event gets
// the log's next identifier; identifiers are not handed out again while an
// event holds them.
class EventLog {
public:
    typedef std::vector<Event> EventList;
    typedef EventList::const_iterator const_iterator;

    // An empty log that keeps at most max events (none when max is 0 or less).
    explicit EventLog(int max = 0);
    // A log as it was stored, taken as it is.
    EventLog(EventList events, BasicID<long> nextID, int max);

    // Adds an unread event for the property, drops the oldest events beyond
    // the maximum and gives the new event's ID. Throws DuplicateEvent when the
    // property is not new; on any failure the log is unchanged.
    BasicID<long> Append(const EventProperty& property);

    // Both throw MissingEvent when no event has the ID.
    Event GetEvent(BasicID<long> id) const;
    // Replaces the event that has the given event's ID, in place.
    void SetEvent(const Event& event);

    bool Contains(BasicID<long> id) const;
    // True when no logged event has an equal property, read or not.
    bool IsNew(const EventProperty& property) const;
    int CountUnread() const;

    // Removes the oldest events until at most n remain.
    void EraseOldest(int n);

    int GetMax() const;
    // Also drops the oldest events beyond the new maximum, so that the log
    // never holds more than its maximum.
    void SetMax(int max);
    // The ID the next appended event gets unless an event still holds it.
    BasicID<long> GetNextID() const;

    std::size_t Size() const;
    // The events themselves, oldest first.
    const EventList& GetEventList() const;
    const_iterator begin() const;
    const_iterator end() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
