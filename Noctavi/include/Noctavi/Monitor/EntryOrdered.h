#ifndef NOCTAVI_MONITOR_ENTRYORDERED_H
#define NOCTAVI_MONITOR_ENTRYORDERED_H

#include <boost/operators.hpp>

namespace Monitor {

// Monitors compare by the ID of the entry they watch (their GetEntryID), the
// order in which their managers keep them.
template <class MonitorType>
class EntryOrdered : boost::totally_ordered<MonitorType> {
public:
    friend bool operator<(const MonitorType& a, const MonitorType& b) { return a.GetEntryID() < b.GetEntryID(); }
    friend bool operator==(const MonitorType& a, const MonitorType& b) { return a.GetEntryID() == b.GetEntryID(); }
};

} // namespace Monitor

#endif
