#include <Noctavi/UninstallMode.h>

#include <Noctavi/Application.h>
#include <Noctavi/CloseRunningInstance.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/Utility/Trace.h>

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
        Utility::TraceFailure(Utility::kTraceApp, "the running instance could not be closed");
        application.SetExitCode(10);
        return false;
    }
}

void UninstallMode::Stop(Application& application) noexcept
{
    application.GetInstanceLock().Unlock();
}
