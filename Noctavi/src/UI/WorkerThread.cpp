#include <Noctavi/UI/WorkerThread.h>

#include <Noctavi/UI/WaitCursor.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <utility>

namespace UI {

namespace {

// How often a wait looks at its condition: short against a request to a
// machine, long against the work of an idle event loop.
constexpr int kPollInterval = 10;

} // namespace

WorkerThread::WorkerThread(std::function<void()> work)
    : thread_([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            failure_ = std::current_exception();
        }
        finished_.store(true, std::memory_order_release);
    })
{
}

WorkerThread::~WorkerThread()
{
    thread_.join();
}

bool WorkerThread::IsFinished() const
{
    return finished_.load(std::memory_order_acquire);
}

void WorkerThread::Rethrow() const
{
    if (IsFinished() && failure_)
        std::rethrow_exception(failure_);
}

void WaitForStage(const std::function<bool()>& condition)
{
    // Its timeouts wake the wait below; processEvents, unlike a nested
    // QEventLoop::exec, keeps waiting after the application was told to exit.
    QTimer poll;
    poll.start(kPollInterval);
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void RunInBackground(std::function<void()> work)
{
    const WaitCursor cursor;
    const WorkerThread worker(std::move(work));
    WaitForStage([&worker] { return worker.IsFinished(); });
    worker.Rethrow();
}

} // namespace UI
