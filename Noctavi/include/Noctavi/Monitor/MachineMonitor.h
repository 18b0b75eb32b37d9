#ifndef NOCTAVI_MONITOR_MACHINEMONITOR_H
#define NOCTAVI_MONITOR_MACHINEMONITOR_H

#include <Noctavi/Monitor/EntryOrdered.h>
#include <Noctavi/MonitoredEntry/BasicID.h>

#include <pelmo/thread/actor.hpp>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace Monitor {

// Keeps an entry's display names fresh: every "MACHINE_MONITOR_INTERVAL_MS"
// its thread reads the machine's name and the user's display name from the
// machine and stores them in the entry, an empty name as none. It goes on
// while the entry's monitoring is off. A failed request leaves the names as
// they are, and a write the model refuses is dropped; neither ends the thread.
class MachineMonitor : public pelmo::actor<>, public EntryOrdered<MachineMonitor> {
public:
    // Nothing starts: the thread loads the entry's machine and user.
    MachineMonitor(BasicID<long> entryID, MonitoredEntry::EntryManager& manager);
    // Joins, swallowing every exception.
    ~MachineMonitor() override;

    BasicID<long> GetEntryID() const;

    // Takes the entry's machine and user afresh for the next requests; keeps
    // the last ones when the entry is gone. Not to be called with the model
    // lock held.
    void Load();

private:
    int Run() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace Monitor

#endif
