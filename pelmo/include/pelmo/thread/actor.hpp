#ifndef PELMO_THREAD_ACTOR_HPP
#define PELMO_THREAD_ACTOR_HPP

#include <pelmo/thread/boost_thread_actor_impl.hpp>
#include <pelmo/thread/inf_actor.hpp>

#include <boost/exception_ptr.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/recursive_mutex.hpp>
#include <boost/thread/thread.hpp>

namespace pelmo {

// Runs Run on a thread of its own, given by Impl (launch, interrupt, join).
//
// An actor counts as running from Start until Join has finished, even after
// Run has returned. OnStart and OnStop run on the caller's thread, once per
// start. Nothing escapes the thread: an exception that ends Run is kept for
// Rethrow. A subclass must Join in its own destructor, because the thread
// calls back into it.
template <class Impl = boost_thread_actor_impl>
class actor : public inf_actor {
public:
    int GetExitCode() const override
    {
        state_lock lock(state_mutex_);
        return exit_code_;
    }

    bool IsRunning() const override
    {
        state_lock lock(state_mutex_);
        return running_;
    }

    void Start() override
    {
        control_lock control(control_mutex_);
        if (IsRunning())
            return;
        mark_started();
        try {
            OnStart();
            thread_.launch([this] { body(); });
        } catch (...) {
            // An actor whose thread never came to life must not look running.
            mark_stopped();
            throw;
        }
    }

    void Interrupt() override
    {
        control_lock control(control_mutex_);
        {
            state_lock lock(state_mutex_);
            if (interrupted_)
                return;
        }
        thread_.interrupt();
        {
            state_lock lock(state_mutex_);
            interrupted_ = true;
        }
        OnStop();
    }

    // Waits even on a thread with an interruption pending, which stays pending
    // for the caller: monitors are stopped from threads that are themselves
    // being stopped, and from destructors, which must not throw.
    void Join() override
    {
        boost::this_thread::disable_interruption keep_pending;
        control_lock control(control_mutex_);
        if (!IsRunning())
            return;
        Interrupt();
        thread_.join();
        state_lock lock(state_mutex_);
        running_ = false;
    }

    void Rethrow() const override
    {
        boost::exception_ptr failure;
        {
            state_lock lock(state_mutex_);
            failure = exception_;
        }
        if (failure)
            boost::rethrow_exception(failure);
    }

protected:
    actor() = default;

    virtual void OnStart() {}
    virtual void OnStop() {}
    virtual int Run() = 0;

private:
    using state_lock = boost::lock_guard<boost::recursive_mutex>;
    using control_lock = state_lock;

    void mark_started()
    {
        state_lock lock(state_mutex_);
        exception_ = boost::exception_ptr();
        running_ = true;
        interrupted_ = false;
    }

    void mark_stopped()
    {
        state_lock lock(state_mutex_);
        running_ = false;
        interrupted_ = true;
    }

    void body() noexcept
    {
        try {
            const int code = Run();
            state_lock lock(state_mutex_);
            exit_code_ = code;
        } catch (...) {
            keep_current_exception();
        }
    }

    void keep_current_exception() noexcept
    {
        try {
            boost::exception_ptr failure = boost::current_exception();
            state_lock lock(state_mutex_);
            exception_ = failure;
        } catch (...) {
            // Nothing may escape the thread; the owner then sees no exception.
        }
    }

    Impl thread_;
    bool running_ = false;
    // Set while not started, so that interrupting an idle actor does nothing.
    bool interrupted_ = true;
    int exit_code_ = 0;
    boost::exception_ptr exception_;
    mutable boost::recursive_mutex state_mutex_;
    // Serialises Start, Interrupt and Join; Join holds it while it waits.
    boost::recursive_mutex control_mutex_;
};

} // namespace pelmo

#endif
