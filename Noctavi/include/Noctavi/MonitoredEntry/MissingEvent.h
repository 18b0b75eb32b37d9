#ifndef NOCTAVI_MONITOREDENTRY_MISSINGEVENT_H
#define NOCTAVI_MONITOREDENTRY_MISSINGEVENT_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// No logged event has the identifier asked for.
class MissingEvent : public DBException {
};

} // namespace MonitoredEntry

#endif
