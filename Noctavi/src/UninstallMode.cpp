#include <Noctavi/UninstallMode.h>

#include <Noctavi/Application.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/InstanceChannel.h>

// The running instance answers the CLOSE only once it has let go of the lock.
bool UninstallMode::Start(Application& application)
{
    try {
        System::InstanceLock& lock = application.GetInstanceLock();
        if (!lock.TryLock()) {
            UI::InstanceChannel::Send(UI::InstanceChannel::Command::Close);
            if (!lock.TryLock()) {
                application.SetExitCode(21);
                return false;
            }
        }
        application.SetExitCode(0);
        return true;
    } catch (...) {
        application.SetExitCode(10);
        return false;
    }
}

void UninstallMode::Stop(Application& application) noexcept
{
    application.GetInstanceLock().Unlock();
}
