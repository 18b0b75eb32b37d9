#ifndef NOCTAVI_MONITOREDENTRY_INVALIDDATAFILE_H
#define NOCTAVI_MONITOREDENTRY_INVALIDDATAFILE_H

#include <pelmo/runtime_error.hpp>

namespace MonitoredEntry {

// A data file parses but describes no model that could have been saved: an
// entry or an event without its object, entries out of order or twice, an
// event identifier used twice in one log, an event time that is no RFC 822
// date-time.
class InvalidDataFile : public pelmo::runtime_error {
};

} // namespace MonitoredEntry

#endif
