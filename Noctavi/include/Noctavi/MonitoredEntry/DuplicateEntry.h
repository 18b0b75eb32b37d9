#ifndef NOCTAVI_MONITOREDENTRY_DUPLICATEENTRY_H
#define NOCTAVI_MONITOREDENTRY_DUPLICATEENTRY_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// The change would give a host a second entry, or a second monitored one.
class DuplicateEntry : public DBException {
};

} // namespace MonitoredEntry

#endif
