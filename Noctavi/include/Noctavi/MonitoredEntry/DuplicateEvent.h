#ifndef NOCTAVI_MONITOREDENTRY_DUPLICATEEVENT_H
#define NOCTAVI_MONITOREDENTRY_DUPLICATEEVENT_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// The event log already holds an event with an equal property.
class DuplicateEvent : public DBException {
};

} // namespace MonitoredEntry

#endif
