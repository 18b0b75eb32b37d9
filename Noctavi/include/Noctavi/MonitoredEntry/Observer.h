#ifndef NOCTAVI_MONITOREDENTRY_OBSERVER_H
#define NOCTAVI_MONITOREDENTRY_OBSERVER_H

namespace MonitoredEntry {

class EntryManager;

// Told that the model changed. Notify runs on the entry manager's
// notification thread, never under a writer's lock; it reads the model
// afresh under the model lock, and must not add or remove observers.
class Observer {
public:
    Observer() = default;
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;
    virtual ~Observer() = default;

    virtual void Notify(EntryManager& manager) = 0;
};

} // namespace MonitoredEntry

#endif
