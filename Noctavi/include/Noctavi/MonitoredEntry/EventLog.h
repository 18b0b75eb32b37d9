#ifndef NOCTAVI_MONITOREDENTRY_EVENTLOG_H
#define NOCTAVI_MONITOREDENTRY_EVENTLOG_H

#include <pelmo/cloner.hpp>

#include <cstddef>

namespace MonitoredEntry {

// An entry's events in arrival order, kept to a maximum number.
class EventLog {
public:
    // An empty log that keeps at most max events.
    explicit EventLog(int max = 0);

    int GetMax() const;
    // The number of events held.
    std::size_t Size() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
