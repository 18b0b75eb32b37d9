#ifndef NOCTAVI_UI_MAINFRAME_H
#define NOCTAVI_UI_MAINFRAME_H

#include <Noctavi/UI/View.h>

#include <QWidget>

#include <boost/shared_ptr.hpp>

#include <functional>

namespace System {
class InstanceLock;
}

namespace UI {

// The hidden main window of the running program and its composition root.
//
// Its construction decides whether this process may run (the single-instance
// lock), loads the settings and publishes the copies that the rest reads,
// shows the tray icon, loads the data file and builds and starts the
// monitoring; the exit path stops all of it in order, saves the data file and
// ends the event loop. Meanwhile it saves the data periodically, keeps the
// tray icon in step with the model and opens the tray's dialogs.
//
// The exit path runs once, on the tray's Exit, a CLOSE through the instance
// channel, or SIGTERM, SIGHUP or SIGINT; asked for while the frame is being
// built, it runs when it is built, and asked for during a wait cursor, after
// the wait. GUI thread only; never shown.
class MainFrame : public View<QWidget> {
public:
    // Stores the process's exit code in the application object.
    using ExitCodeStore = std::function<void(int code)>;

    // Throws ApplicationBusy, after asking the running instance to come
    // forward, when another instance holds the lock; anything else when the
    // program cannot start, having stopped what it had started.
    MainFrame(System::InstanceLock& lock, ExitCodeStore storeExitCode);
    ~MainFrame() override;

    // The model, for the windows that the frame opens.
    MonitoredEntry::EntryManager& GetEntryManager();

protected:
    // The tray icon follows whether any event is unread.
    void Update() override;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
