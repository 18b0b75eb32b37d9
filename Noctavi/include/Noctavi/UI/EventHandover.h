#ifndef NOCTAVI_UI_EVENTHANDOVER_H
#define NOCTAVI_UI_EVENTHANDOVER_H

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <atomic>

namespace UI {

// Posts events from any thread to a receiver on the GUI thread. Qt's event
// queue hands them over through locks that the thread sanitizer does not
// see; a release on posting and an acquire in the receiver's event(), before
// it reads what the event carries, show it the handover.
class EventHandover {
public:
    void Post(QObject& receiver, QEvent* event)
    {
        posted_.fetch_add(1, std::memory_order_release);
        QCoreApplication::postEvent(&receiver, event);
    }

    // First thing in the receiver's event().
    void Received() const { posted_.load(std::memory_order_acquire); }

private:
    std::atomic<unsigned int> posted_{0};
};

} // namespace UI

#endif
