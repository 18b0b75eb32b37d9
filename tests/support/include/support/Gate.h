#ifndef NOCTAVI_TESTS_SUPPORT_GATE_H
#define NOCTAVI_TESTS_SUPPORT_GATE_H

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>

#include <chrono>
#include <cstddef>

namespace support {

// A point where a test holds other threads while it arranges a race, and
// then lets them through. Waiting at a closed gate is an interruption point
// of Boost threads, so an actor held there can still be stopped.
class Gate {
public:
    void Close();
    void Open();

    // Waits while the gate is closed; counts every arrival.
    void Pass();

    std::size_t Arrivals() const;
    // True once `count` threads wait at the gate together.
    bool WaitForHeld(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

private:
    mutable boost::mutex mutex_;
    mutable boost::condition_variable changed_;
    bool closed_ = false;
    std::size_t arrivals_ = 0;
    std::size_t held_ = 0;
};

} // namespace support

#endif
