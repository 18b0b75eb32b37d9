#ifndef NOCTAVI_MONITOR_MONITORMANAGER_H
#define NOCTAVI_MONITOR_MONITORMANAGER_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/Observer.h>

#include <boost/shared_ptr.hpp>

#include <functional>

namespace Monitor {

// Keeps one monitor thread per entry in step with the model, as its
// observer: a monitor is made and started for each entry whose monitoring is
// on and that has none yet, kept (and refreshed) while the entry exists, also
// with monitoring off, and dropped when the entry is removed. Dropped
// monitors are interrupted at once and joined on a thread of the manager's
// own, so that a machine that does not answer never holds up the model's
// notifications. A notification never throws out of the manager.
//
// MonitorType is EventMonitor or MachineMonitor. A subclass makes the monitors
// and must Stop in its own destructor, since notifications call back into it.
template <class MonitorType>
class MonitorManager : public MonitoredEntry::Observer {
public:
    typedef boost::shared_ptr<MonitorType> MonitorPointer;

    // Stops, swallowing every exception.
    ~MonitorManager() override;

    // Attaches the manager to the model, whose first notification then makes
    // the monitors of the monitored entries. The model must outlive the
    // manager's Stop.
    void Start(MonitoredEntry::EntryManager& model);
    // Detaches the manager from the model, waiting for a notification in
    // progress, so that no monitor starts afterwards; then interrupts every
    // monitor without waiting for it. A caller stopping several managers
    // interrupts them all first, so that their monitors end together.
    void Interrupt();
    // Interrupts, then waits until every monitor, dropped ones included, has
    // ended, and lets them go. The manager may be started again.
    void Stop();

    // The update: runs on the model's notification thread.
    void Notify(MonitoredEntry::EntryManager& model) override;

    // Calls the function on every monitor, in ID order, with no lock of the
    // manager held: the monitors of the moment, of which any may be dropped
    // meanwhile.
    void ForEach(const std::function<void(MonitorType&)>& function) const;

protected:
    MonitorManager();

private:
    virtual MonitorPointer CreateMonitor(BasicID<long> id, MonitoredEntry::EntryManager& model) = 0;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

class EventMonitor;
class MachineMonitor;
extern template class MonitorManager<EventMonitor>;
extern template class MonitorManager<MachineMonitor>;

} // namespace Monitor

#endif
