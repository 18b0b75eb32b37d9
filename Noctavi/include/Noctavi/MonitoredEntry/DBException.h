#ifndef NOCTAVI_MONITOREDENTRY_DBEXCEPTION_H
#define NOCTAVI_MONITOREDENTRY_DBEXCEPTION_H

#include <pelmo/logic_error.hpp>

namespace MonitoredEntry {

// A lookup or change of the entry model was refused; base of every table and
// event-log error.
class DBException : public pelmo::logic_error {
};

} // namespace MonitoredEntry

#endif
