#ifndef NOCTAVI_MONITOREDENTRY_INVALIDENTRY_H
#define NOCTAVI_MONITOREDENTRY_INVALIDENTRY_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// An entry or entry property fails the model's validity rules.
class InvalidEntry : public DBException {
};

} // namespace MonitoredEntry

#endif
