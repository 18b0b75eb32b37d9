#ifndef NOCTAVI_SYSTEM_INSTANCELOCK_H
#define NOCTAVI_SYSTEM_INSTANCELOCK_H

#include <pelmo/unique_fd.hpp>

#include <string>

namespace System {

// The lock that lets one instance of the program run per user: an exclusive
// flock on "HollvikNoctavi.lock" in the runtime folder. The kernel lets go of
// it when the process ends, however it ends.
//
// Each object is a lock of its own, also within one process, so a test can
// play a second instance with a second object.
class InstanceLock {
public:
    // Opens the lock file, creating it (mode 0600), without taking the lock.
    // Throws SystemError when it cannot.
    InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting; true when this object holds it, also
    // when it held it already.
    bool TryLock();
    // Lets go of the lock; nothing when it is not held.
    void Unlock() noexcept;
    bool IsHeld() const noexcept { return held_; }

    static std::string GetPath();

private:
    pelmo::unique_fd file_;
    bool held_ = false;
};

} // namespace System

#endif
