#ifndef NOCTAVI_UI_WORKERTHREAD_H
#define NOCTAVI_UI_WORKERTHREAD_H

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

namespace UI {

// A thread of its own for a request to a machine, so that the GUI thread never
// waits on the network. The work runs once; what it throws is kept for
// Rethrow. Destruction joins the thread: cancel a long request first.
//
// The thread touches no widget and posts nothing to the GUI thread (the work
// may use Qt's thread-safe classes, as QImageReader decodes a thumbnail): the
// GUI thread looks at IsFinished (through WaitForStage or a timer), so every
// result passes through memory that the work writes before it finishes and
// the GUI thread reads after.
class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> work);
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();

    // True once the work has ended, however it ended; what it wrote is then
    // safe to read.
    bool IsFinished() const;
    // Rethrows what the work threw, once it has finished; else does nothing.
    void Rethrow() const;

private:
    std::atomic<bool> finished_{false};
    std::exception_ptr failure_;
    std::thread thread_; // last, so that it starts once the rest is ready
};

} // namespace UI

#endif
