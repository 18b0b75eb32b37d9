#ifndef NOCTAVI_UI_EVENTLOOPWAIT_H
#define NOCTAVI_UI_EVENTLOOPWAIT_H

#include <functional>

namespace UI {

// Waits on the GUI thread until the condition holds. The windows keep
// painting and timers and queued calls run, but user input to the program's
// dialogs is dropped, so that no dialog starts a second request, neither
// during the wait nor after it; the tray's menu and boxes opened meanwhile
// take input. The condition is looked at again every few milliseconds, also
// after QCoreApplication::exit, which would end a nested event loop at once.
void WaitForStage(const std::function<bool()>& condition);

// Runs the work on a worker thread while the GUI thread waits under the wait
// cursor (WaitForStage), then rethrows here what the work threw.
void RunInBackground(std::function<void()> work);

} // namespace UI

#endif
