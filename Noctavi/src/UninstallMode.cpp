#include <Noctavi/UninstallMode.h>

#include <Noctavi/Application.h>
#include <Noctavi/CloseRunningInstance.h>
#include <Noctavi/System/InstanceLock.h>

bool UninstallMode::Start(Application& application)
{
    try {
        if (!CloseRunningInstance(application.GetInstanceLock(), 1)) {
            application.SetExitCode(21);
            return false;
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
