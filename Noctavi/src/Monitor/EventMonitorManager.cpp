#include <Noctavi/Monitor/EventMonitorManager.h>

#include <Noctavi/Utility/Trace.h>

#include <boost/make_shared.hpp>

namespace Monitor {

EventMonitorManager::EventMonitorManager(MachineEvent::DetectedEventQueue& queue)
    : queue_(queue)
{
}

EventMonitorManager::~EventMonitorManager()
{
    try {
        Stop();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the event monitor manager could not stop");
    }
}

void EventMonitorManager::OnSignal(const Signal& signal)
{
    ForEach([&signal](EventMonitor& monitor) { monitor.OnSignal(signal); });
}

EventMonitorManager::MonitorPointer EventMonitorManager::CreateMonitor(BasicID<long> id,
                                                                       MonitoredEntry::EntryManager& model)
{
    return boost::make_shared<EventMonitor>(id, model, queue_);
}

} // namespace Monitor
