#include <Noctavi/Monitor/MachineMonitorManager.h>

#include <boost/make_shared.hpp>

namespace Monitor {

MachineMonitorManager::~MachineMonitorManager()
{
    try {
        Stop();
    } catch (...) {
    }
}

MachineMonitorManager::MonitorPointer MachineMonitorManager::CreateMonitor(BasicID<long> id,
                                                                           MonitoredEntry::EntryManager& model)
{
    return boost::make_shared<MachineMonitor>(id, model);
}

} // namespace Monitor
