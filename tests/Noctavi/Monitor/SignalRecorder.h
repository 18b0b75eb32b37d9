#ifndef NOCTAVI_TESTS_MONITOR_SIGNALRECORDER_H
#define NOCTAVI_TESTS_MONITOR_SIGNALRECORDER_H

#include <Noctavi/Monitor/EventSignal.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/MonitoredEntry/Distinction.h>

#include <support/Gate.h>
#include <support/WaitUntil.h>

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace testvalues {

using Clock = std::chrono::steady_clock;

// Records the sender of every signal and whether it matches the probed
// machine; it can hold the receiver's thread at a gate and fail afterwards.
struct SignalRecorder : Monitor::EventSignalObserver {
    void OnSignal(const Monitor::Signal& signal) override
    {
        const bool matched = signal.Matches(probed);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            senders.push_back(dynamic_cast<const Monitor::EventSignal&>(signal).GetSender().to_string());
            matches.push_back(matched);
            lastAt = Clock::now();
        }
        gate.Pass();
        if (failing)
            throw std::runtime_error("the observer fails");
    }

    std::vector<std::string> Received()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return senders;
    }

    bool WaitForSignals(std::size_t count)
    {
        return support::WaitUntil([&] { return Received().size() >= count; });
    }

    MonitoredEntry::Distinction probed;
    support::Gate gate;
    bool failing = false;
    std::mutex mutex;
    std::vector<std::string> senders;
    std::vector<bool> matches;
    Clock::time_point lastAt;
};

} // namespace testvalues

#endif
