#include <Noctavi/Application.h>

#include <Noctavi/CreateRunMode.h>
#include <Noctavi/RunMode.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/TraceLogging.h>
#include <Noctavi/UI/FontCharsetCheck.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/Utility/LrcCatalogue.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/make_shared.hpp>

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <thread>

namespace {

// Making the lock file can fail for a while (a home folder being mounted,
// say): it is tried for a minute.
constexpr int kLockAttempts = 120;
constexpr std::chrono::milliseconds kLockRetryPause(500);
constexpr int kInitFailed = 10;

std::unique_ptr<System::InstanceLock> CreateInstanceLock()
{
    for (int attempt = 1;; ++attempt) {
        try {
            return std::make_unique<System::InstanceLock>();
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceApp, "the instance lock could not be made");
            if (attempt == kLockAttempts)
                throw;
        }
        std::this_thread::sleep_for(kLockRetryPause);
    }
}

// Only for this process: programs that it starts choose for themselves.
class PlatformChoice {
public:
    PlatformChoice()
        : chosen_(!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
                  qEnvironmentVariableIsSet("DISPLAY"))
    {
        if (chosen_)
            qputenv("QT_QPA_PLATFORM", "xcb");
    }
    PlatformChoice(const PlatformChoice&) = delete;
    PlatformChoice& operator=(const PlatformChoice&) = delete;

    void Forget() const
    {
        if (chosen_)
            qunsetenv("QT_QPA_PLATFORM");
    }

private:
    const bool chosen_;
};

// Qt ends the process when no platform can show windows (no display, or one
// that cannot be reached); that becomes exit code 10 with a line saying why.
class FatalWithoutDisplay {
public:
    FatalWithoutDisplay() { previous_ = qInstallMessageHandler(&End); }
    FatalWithoutDisplay(const FatalWithoutDisplay&) = delete;
    FatalWithoutDisplay& operator=(const FatalWithoutDisplay&) = delete;
    ~FatalWithoutDisplay() { qInstallMessageHandler(previous_); }

private:
    static void End(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtFatalMsg)
            return previous_(type, context, message);
        std::fputs("noctavi: no display to show windows on (is DISPLAY or WAYLAND_DISPLAY set?)\n", stderr);
        std::_Exit(kInitFailed);
    }

    inline static QtMessageHandler previous_ = nullptr;
};

// Qt keeps argc by reference: it must outlive the application object.
std::unique_ptr<QApplication> WindowingApplication(int& argc, char** argv)
{
    const FatalWithoutDisplay fatal;
    return std::make_unique<QApplication>(argc, argv);
}

bool HasWindows()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

struct Application::Pimpl {
    int exitCode = 0;
    std::unique_ptr<System::InstanceLock> lock;
    std::unique_ptr<RunMode> mode;
    std::unique_ptr<QWidget> mainWindow;
};

Application::Application()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

Application::~Application() = default;

int Application::Main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!NeedsWindows(arguments)) {
        QCoreApplication qt(argc, argv);
        Application application;
        return application.Run(arguments);
    }
    const PlatformChoice platform;
    const std::unique_ptr<QApplication> qt = WindowingApplication(argc, argv);
    platform.Forget();
    QApplication::setQuitOnLastWindowClosed(false);
    Application application;
    return application.Run(arguments);
}

int Application::Run(const std::vector<std::string>& arguments)
{
    const bool started = InitInstance(arguments);
    const int loopResult = started && pimpl_->mainWindow ? QApplication::exec() : 0;
    return ExitInstance(loopResult);
}

void Application::SetExitCode(int code)
{
    pimpl_->exitCode = code;
}

// Without windows there is no box to show: uninstall mode fails silently.
void Application::ShowInitFailure()
{
    if (HasWindows())
        UI::Message::ApplicationInitFailed();
    SetExitCode(kInitFailed);
}

System::InstanceLock& Application::GetInstanceLock()
{
    return *pimpl_->lock;
}

void Application::SetMainWindow(std::unique_ptr<QWidget> window)
{
    pimpl_->mainWindow = std::move(window);
}

bool Application::InitInstance(const std::vector<std::string>& arguments)
{
    try {
        ConnectTraceToLogging();
        std::locale::global(std::locale::classic());
        // Fonts are known only where windows can be shown.
        LrcCatalogue::Open(LrcCatalogue::GetCataloguePath(),
                           HasWindows() ? &UI::HasFontForCharset : &LrcCatalogue::AnyCharset);
        const QString name = UI::LoadString(UI::kApplicationNameString);
        if (!name.isEmpty())
            QCoreApplication::setApplicationName(name);
        pimpl_->lock = CreateInstanceLock();
        pimpl_->mode = CreateRunMode(arguments);
        return pimpl_->mode->Start(*this);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceApp, "the program could not start");
        ShowInitFailure();
        return false;
    }
}

// The main window goes first, and with it the dialogs, the frame and the model.
int Application::ExitInstance(int loopResult)
{
    pimpl_->mainWindow.reset();
    if (pimpl_->mode)
        pimpl_->mode->Stop(*this);
    LrcCatalogue::Free();
    if (pimpl_->exitCode != 0)
        return pimpl_->exitCode;
    return loopResult != 0 ? 100 : 0;
}
