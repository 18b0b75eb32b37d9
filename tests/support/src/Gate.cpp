#include <support/Gate.h>

#include <boost/chrono/duration.hpp>
#include <boost/thread/locks.hpp>

namespace support {

void Gate::Close()
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    closed_ = true;
}

void Gate::Open()
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    closed_ = false;
    changed_.notify_all();
}

void Gate::Pass()
{
    boost::unique_lock<boost::mutex> lock(mutex_);
    ++arrivals_;
    ++held_;
    changed_.notify_all();
    try {
        changed_.wait(lock, [this] { return !closed_; });
    } catch (...) {
        --held_;
        throw;
    }
    --held_;
}

std::size_t Gate::Arrivals() const
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    return arrivals_;
}

bool Gate::WaitForHeld(std::size_t count, std::chrono::milliseconds deadline) const
{
    boost::unique_lock<boost::mutex> lock(mutex_);
    return changed_.wait_for(lock, boost::chrono::milliseconds(deadline.count()),
                             [&] { return closed_ && held_ >= count; });
}

} // namespace support
