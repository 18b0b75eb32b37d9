#ifndef NOCTAVI_MONITOR_MACHINEMONITORMANAGER_H
#define NOCTAVI_MONITOR_MACHINEMONITORMANAGER_H

#include <Noctavi/Monitor/MachineMonitor.h>
#include <Noctavi/Monitor/MonitorManager.h>

namespace Monitor {

// One machine monitor per entry.
class MachineMonitorManager : public MonitorManager<MachineMonitor> {
public:
    MachineMonitorManager() = default;
    ~MachineMonitorManager() override;

private:
    MonitorPointer CreateMonitor(BasicID<long> id, MonitoredEntry::EntryManager& model) override;
};

} // namespace Monitor

#endif
