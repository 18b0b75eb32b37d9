#ifndef NOCTAVI_MONITOREDENTRY_MODELLOCK_H
#define NOCTAVI_MONITOREDENTRY_MODELLOCK_H

#include <Noctavi/MonitoredEntry/EntryManager.h>

namespace MonitoredEntry {

// Holds an entry manager's model lock for a scope.
class ModelLock {
public:
    explicit ModelLock(EntryManager& manager)
        : manager_(&manager)
    {
        manager.Lock();
    }

    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;
    ~ModelLock() { Unlock(); }

    // Releases the lock before the scope ends; the destructor then does nothing.
    void Unlock() noexcept
    {
        if (manager_)
            manager_->Unlock();
        manager_ = nullptr;
    }

private:
    EntryManager* manager_;
};

} // namespace MonitoredEntry

#endif
