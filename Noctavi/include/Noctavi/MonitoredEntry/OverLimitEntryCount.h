#ifndef NOCTAVI_MONITOREDENTRY_OVERLIMITENTRYCOUNT_H
#define NOCTAVI_MONITOREDENTRY_OVERLIMITENTRYCOUNT_H

#include <Noctavi/MonitoredEntry/DBException.h>

namespace MonitoredEntry {

// The table already holds as many entries as the settings allow.
class OverLimitEntryCount : public DBException {
};

} // namespace MonitoredEntry

#endif
