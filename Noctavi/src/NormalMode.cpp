#include <Noctavi/NormalMode.h>

#include <Noctavi/Application.h>
#include <Noctavi/System/ApplicationBusy.h>
#include <Noctavi/UI/DocumentPreview.h>
#include <Noctavi/UI/MainFrame.h>
#include <Noctavi/Utility/Trace.h>

bool NormalMode::Start(Application& application)
{
    try {
        application.SetMainWindow(std::make_unique<UI::MainFrame>(
            application.GetInstanceLock(), [&application](int code) { application.SetExitCode(code); }));
        application.SetExitCode(0);
        UI::RemoveOldPreviews();
        return true;
    } catch (const ApplicationBusy&) {
        application.SetExitCode(11);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceApp, "the normal mode could not start");
        application.ShowInitFailure();
    }
    return false;
}

void NormalMode::Stop(Application&) noexcept
{
    UI::RemoveOldPreviews();
}
