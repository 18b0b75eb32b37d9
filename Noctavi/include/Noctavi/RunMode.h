#ifndef NOCTAVI_RUNMODE_H
#define NOCTAVI_RUNMODE_H

class Application;

// What the program does this time, as the command line chose it. Each mode
// stores its outcome as the exit code in the application object.
class RunMode {
public:
    RunMode() = default;
    RunMode(const RunMode&) = delete;
    RunMode& operator=(const RunMode&) = delete;
    virtual ~RunMode() = default;

    // True when the application goes on: into the event loop when the mode
    // made a main window, else straight to Stop.
    virtual bool Start(Application& application) = 0;
    // Runs after the event loop, whatever Start gave; never throws.
    virtual void Stop(Application& application) noexcept = 0;
};

#endif
