#ifndef NOCTAVI_MONITOREDENTRY_EVENT_H
#define NOCTAVI_MONITOREDENTRY_EVENT_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <pelmo/cloner.hpp>

namespace MonitoredEntry {

// One logged event: the ID its log gave it, what it says and whether the
// user has seen it.
class Event {
public:
    // An unread event.
    Event(BasicID<long> id, const EventProperty& property);

    BasicID<long> GetID() const;
    const EventProperty& GetProperty() const;
    bool IsRead() const;
    void SetRead(bool read);

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
