#ifndef NOCTAVI_MONITOR_EVENTMONITORMANAGER_H
#define NOCTAVI_MONITOR_EVENTMONITORMANAGER_H

#include <Noctavi/MachineEvent/DetectedEventQueue.h>
#include <Noctavi/Monitor/EventMonitor.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/Monitor/MonitorManager.h>

namespace Monitor {

// One event monitor per entry, each pushing what it detects into the queue;
// also where signals go: the signal receiver's and the event log viewer's.
//
// Started after the queue's consumer, it is stopped before it: detach it from
// the receiver, then Stop (or Interrupt it along with the machine monitor
// manager, then Stop both), then stop the detected-event manager.
class EventMonitorManager : public MonitorManager<EventMonitor>, public EventSignalObserver {
public:
    explicit EventMonitorManager(MachineEvent::DetectedEventQueue& queue);
    ~EventMonitorManager() override;

    // Wakes every monitor whose machine the signal concerns.
    void OnSignal(const Signal& signal) override;

private:
    MonitorPointer CreateMonitor(BasicID<long> id, MonitoredEntry::EntryManager& model) override;

    MachineEvent::DetectedEventQueue& queue_;
};

} // namespace Monitor

#endif
