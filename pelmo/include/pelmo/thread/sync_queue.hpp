#ifndef PELMO_THREAD_SYNC_QUEUE_HPP
#define PELMO_THREAD_SYNC_QUEUE_HPP

#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>
#include <pelmo/thread/sync_queue_disabled.hpp>

#include <boost/chrono/duration.hpp>
#include <boost/date_time/posix_time/posix_time_duration.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>

#include <deque>

namespace pelmo {

// Bounded first-in first-out queue between threads.
//
// push waits while the queue is full, try_push fails instead; pop waits while
// it is empty, with or without a time-out. Every wake-up wakes all waiters,
// and every wait is an interruption point of a Boost thread. Once disabled,
// every operation throws sync_queue_disabled, even while elements remain:
// that is how the threads on either side are told to stop.
template <class T>
class sync_queue {
public:
    explicit sync_queue(int capacity)
        : capacity_(capacity)
    {
        if (capacity < 1)
            PELMO_THROW(logic_error());
    }

    sync_queue(const sync_queue&) = delete;
    sync_queue& operator=(const sync_queue&) = delete;

    void push(const T& value)
    {
        lock_type lock(mutex_);
        not_full_.wait(lock, [this] { return !enabled_ || has_room(); });
        if (!enabled_)
            PELMO_THROW(sync_queue_disabled());
        insert(value);
    }

    bool try_push(const T& value)
    {
        lock_type lock(mutex_);
        if (!enabled_)
            PELMO_THROW(sync_queue_disabled());
        if (!has_room())
            return false;
        insert(value);
        return true;
    }

    void pop(T& value)
    {
        lock_type lock(mutex_);
        not_empty_.wait(lock, [this] { return !enabled_ || !elements_.empty(); });
        if (!enabled_)
            PELMO_THROW(sync_queue_disabled());
        take(value);
    }

    // False when the time-out passed with the queue empty and enabled.
    bool pop(T& value, const boost::posix_time::milliseconds& timeout)
    {
        lock_type lock(mutex_);
        const boost::chrono::milliseconds limit(timeout.total_milliseconds());
        not_empty_.wait_for(lock, limit, [this] { return !enabled_ || !elements_.empty(); });
        // Checked again after the wait, so a queue disabled at the same moment throws.
        if (!enabled_)
            PELMO_THROW(sync_queue_disabled());
        if (elements_.empty())
            return false;
        take(value);
        return true;
    }

    int capacity() const noexcept { return capacity_; }

    void disable()
    {
        lock_type lock(mutex_);
        enabled_ = false;
        not_full_.notify_all();
        not_empty_.notify_all();
    }

private:
    using lock_type = boost::unique_lock<boost::mutex>;

    bool has_room() const { return elements_.size() < static_cast<std::size_t>(capacity_); }

    void insert(const T& value)
    {
        elements_.push_front(value);
        not_empty_.notify_all();
    }

    void take(T& value)
    {
        value = elements_.back();
        elements_.pop_back();
        not_full_.notify_all();
    }

    // Newest at the front, oldest at the back.
    std::deque<T> elements_;
    const int capacity_;
    bool enabled_ = true;
    boost::condition_variable not_full_;
    boost::condition_variable not_empty_;
    boost::mutex mutex_;
};

} // namespace pelmo

#endif
