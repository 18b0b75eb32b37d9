#ifndef NOCTAVI_CLOSERUNNINGINSTANCE_H
#define NOCTAVI_CLOSERUNNINGINSTANCE_H

namespace System {
class InstanceLock;
}

// Takes the single-instance lock, asking the running instance to close when
// another process holds it: up to `rounds` times, take the lock, else send
// the running instance CLOSE and wait for its answer (or pause briefly when
// none takes it yet, as an instance still starting up does); then take the
// lock a last time. True when the lock is held. Throws what the instance
// channel throws.
bool CloseRunningInstance(System::InstanceLock& lock, int rounds);

#endif
