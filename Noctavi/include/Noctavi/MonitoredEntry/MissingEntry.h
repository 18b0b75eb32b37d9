#ifndef NOCTAVI_MONITOREDENTRY_MISSINGENTRY_H
#define NOCTAVI_MONITOREDENTRY_MISSINGENTRY_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// No stored entry has the identifier asked for.
class MissingEntry : public DBException {
};

} // namespace MonitoredEntry

#endif
