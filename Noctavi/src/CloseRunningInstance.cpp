#include <Noctavi/CloseRunningInstance.h>

#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/InstanceChannel.h>

#include <chrono>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kNoAnswerPause(300);

} // namespace

// The running instance answers the CLOSE only once it has let go of the lock.
bool CloseRunningInstance(System::InstanceLock& lock, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        if (lock.TryLock())
            return true;
        if (!UI::InstanceChannel::Send(UI::InstanceChannel::Command::Close))
            std::this_thread::sleep_for(kNoAnswerPause);
    }
    return lock.TryLock();
}
