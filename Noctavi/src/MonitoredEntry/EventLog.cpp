#include <Noctavi/MonitoredEntry/EventLog.h>

#include <Noctavi/MonitoredEntry/DuplicateEvent.h>
#include <Noctavi/MonitoredEntry/IDCounter.h>
#include <Noctavi/MonitoredEntry/MissingEvent.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace MonitoredEntry {

namespace {

// Keeps the newest n events (none for n below 1). The survivors are copied
// into a new list that is swapped in, so a failed copy changes nothing.
void KeepNewest(EventLog::EventList& events, int n)
{
    const std::size_t keep = n < 0 ? 0 : static_cast<std::size_t>(n);
    if (events.size() <= keep)
        return;
    EventLog::EventList newest(std::prev(events.end(), static_cast<std::ptrdiff_t>(keep)), events.end());
    events.swap(newest);
}

template <class Events>
auto FindEvent(Events& events, BasicID<long> id) -> decltype(events.begin())
{
    return std::find_if(events.begin(), events.end(), [id](const Event& event) { return event.GetID() == id; });
}

} // namespace

struct EventLog::Pimpl {
    EventList events;
    BasicID<long> nextID;
    int max;
};

EventLog::EventLog(int max)
    : EventLog(EventList(), BasicID<long>(), max)
{
}

EventLog::EventLog(EventList events, BasicID<long> nextID, int max)
    : pimpl_(new Pimpl{std::move(events), nextID, max})
{
}

BasicID<long> EventLog::Append(const EventProperty& property)
{
    if (!IsNew(property))
        PELMO_THROW(DuplicateEvent());
    Pimpl& log = *pimpl_;
    const BasicID<long> id = FirstFreeID(log.nextID, [this](BasicID<long> candidate) { return Contains(candidate); });
    EventList events(log.events);
    events.emplace_back(id, property);
    KeepNewest(events, log.max);
    log.events.swap(events);
    log.nextID = FollowingID(id);
    return id;
}

Event EventLog::GetEvent(BasicID<long> id) const
{
    const auto found = FindEvent(pimpl_->events, id);
    if (found == pimpl_->events.end())
        PELMO_THROW(MissingEvent());
    return *found;
}

void EventLog::SetEvent(const Event& event)
{
    const auto found = FindEvent(pimpl_->events, event.GetID());
    if (found == pimpl_->events.end())
        PELMO_THROW(MissingEvent());
    *found = event;
}

bool EventLog::Contains(BasicID<long> id) const
{
    return FindEvent(pimpl_->events, id) != pimpl_->events.end();
}

bool EventLog::IsNew(const EventProperty& property) const
{
    return std::none_of(pimpl_->events.begin(), pimpl_->events.end(),
                        [&property](const Event& event) { return event.GetProperty() == property; });
}

int EventLog::CountUnread() const
{
    return static_cast<int>(std::count_if(pimpl_->events.begin(), pimpl_->events.end(),
                                          [](const Event& event) { return !event.IsRead(); }));
}

void EventLog::EraseOldest(int n)
{
    KeepNewest(pimpl_->events, n);
}

int EventLog::GetMax() const
{
    return pimpl_->max;
}

void EventLog::SetMax(int max)
{
    KeepNewest(pimpl_->events, max);
    pimpl_->max = max;
}

BasicID<long> EventLog::GetNextID() const
{
    return pimpl_->nextID;
}

std::size_t EventLog::Size() const
{
    return pimpl_->events.size();
}

const EventLog::EventList& EventLog::GetEventList() const
{
    return pimpl_->events;
}

EventLog::const_iterator EventLog::begin() const
{
    return pimpl_->events.begin();
}

EventLog::const_iterator EventLog::end() const
{
    return pimpl_->events.end();
}

} // namespace MonitoredEntry
