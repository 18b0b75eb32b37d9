#ifndef NOCTAVI_MACHINEEVENT_EVENT_H
#define NOCTAVI_MACHINEEVENT_EVENT_H

#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>

#include <pelmo/cloner.hpp>

namespace MachineEvent {

// What an event window shows: copies of an entry's machine and user and of
// one of its events, taken under the model lock.
class Event {
public:
    Event(const MonitoredEntry::MFP& mfp, const MonitoredEntry::User& user,
          const MonitoredEntry::EventProperty& property);

    const MonitoredEntry::MFP& GetMFP() const;
    const MonitoredEntry::User& GetUser() const;
    const MonitoredEntry::EventProperty& GetProperty() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MachineEvent

#endif
