#ifndef NOCTAVI_APPLICATION_H
#define NOCTAVI_APPLICATION_H

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace System {
class InstanceLock;
}

// The program's application object: it runs the start-up, lets the command
// line choose the run mode, owns the single-instance lock and turns every
// outcome into the process's exit code, which only it decides.
//
// Exit codes: 0 success; 10 start-up failed ("Failed to initialize an
// application."); 11 another instance runs; 13 install mode's options are
// invalid; 20 the entry limit is reached; 21 the running instance could not
// be closed, or install mode's host is registered already; 22 install mode's
// entry is invalid; 30 the data file could not be saved; 100 the event loop
// ended with a code although none was stored.
class Application {
public:
    // Needs the QApplication; Main builds both.
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The whole program: Wayland sessions run on XWayland where they can,
    // since there no window may place itself or stay above others.
    static int Main(int argc, char** argv);

    // Starts the run mode that the arguments (without the program's name)
    // choose, runs the event loop while there is a main window, stops the
    // mode and gives the exit code.
    int Run(const std::vector<std::string>& arguments);

    void SetExitCode(int code);
    // Shows "Failed to initialize an application." and stores exit code 10.
    void ShowInitFailure();
    System::InstanceLock& GetInstanceLock();
    // The window that the event loop runs for; deleted after the loop.
    void SetMainWindow(std::unique_ptr<QWidget> window);

private:
    bool InitInstance(const std::vector<std::string>& arguments);
    int ExitInstance(int loopResult);

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

#endif
