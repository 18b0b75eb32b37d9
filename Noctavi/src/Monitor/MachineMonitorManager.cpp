#include <Noctavi/Monitor/MachineMonitorManager.h>

#include <Noctavi/Utility/Trace.h>

#include <boost/make_shared.hpp>

namespace Monitor {

MachineMonitorManager::~MachineMonitorManager()
{
    try {
        Stop();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the machine monitor manager could not stop");
    }
}

MachineMonitorManager::MonitorPointer MachineMonitorManager::CreateMonitor(BasicID<long> id,
                                                                           MonitoredEntry::EntryManager& model)
{
    return boost::make_shared<MachineMonitor>(id, model);
}

} // namespace Monitor
