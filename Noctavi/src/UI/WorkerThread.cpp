#include <Noctavi/UI/WorkerThread.h>

#include <utility>

namespace UI {

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

} // namespace UI
