#include <Noctavi/UI/EventLoopWait.h>

#include <Noctavi/UI/WaitCursor.h>
#include <Noctavi/UI/WorkerThread.h>

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <utility>

namespace UI {

namespace {

// How often a wait looks at its condition: short against a request to a
// machine, long against the work of an idle event loop.
constexpr int kPollInterval = 10;

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// Held back, input would press the waiting dialog's buttons once they are
// enabled again: a second Change Status, an Enter meant for nothing. So it
// is dropped. Only input to dialogs at the wait's own loop level goes: a box
// opened during the wait runs a loop of its own and must be answerable, and
// the tray's menu stays usable for Exit. Moving a window is the window
// manager's, and painting is no input.
class InputDrop : public QObject {
public:
    InputDrop()
        : level_(QThread::currentThread()->loopLevel())
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputDrop() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        return IsUserInput(event->type()) && receiver->isWidgetType()
               && QThread::currentThread()->loopLevel() == level_
               && qobject_cast<QDialog*>(static_cast<QWidget*>(receiver)->window());
    }

private:
    const int level_;
};

} // namespace

void WaitForStage(const std::function<bool()>& condition)
{
    const InputDrop drop;
    // Its timeouts wake the wait below; processEvents, unlike a nested
    // QEventLoop::exec, keeps waiting after the application was told to exit.
    QTimer poll;
    poll.start(kPollInterval);
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void RunInBackground(std::function<void()> work)
{
    const WaitCursor cursor;
    const WorkerThread worker(std::move(work));
    WaitForStage([&worker] { return worker.IsFinished(); });
    worker.Rethrow();
}

} // namespace UI
