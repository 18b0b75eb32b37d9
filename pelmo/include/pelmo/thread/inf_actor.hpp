#ifndef PELMO_THREAD_INF_ACTOR_HPP
#define PELMO_THREAD_INF_ACTOR_HPP

namespace pelmo {

// An active object that owns one thread. Start launches it, Interrupt asks it
// to stop, Join interrupts and waits; Rethrow hands the owner the exception
// that ended the thread, if any.
class inf_actor {
public:
    inf_actor() = default;
    inf_actor(const inf_actor&) = delete;
    inf_actor& operator=(const inf_actor&) = delete;
    virtual ~inf_actor() = default;

    virtual int GetExitCode() const = 0;
    virtual bool IsRunning() const = 0;
    virtual void Start() = 0;
    virtual void Interrupt() = 0;
    virtual void Join() = 0;
    virtual void Rethrow() const = 0;
};

} // namespace pelmo

#endif
