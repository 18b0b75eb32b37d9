#include <Noctavi/Monitor/EventMonitorManager.h>

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
