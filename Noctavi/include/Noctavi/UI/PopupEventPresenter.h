#ifndef NOCTAVI_UI_POPUPEVENTPRESENTER_H
#define NOCTAVI_UI_POPUPEVENTPRESENTER_H

#include <Noctavi/MachineEvent/PopupPresenter.h>

#include <QObject>

#include <boost/shared_ptr.hpp>

#include <functional>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

class PopupEventDlg;

// Shows the pop-up event manager's pop-ups on the GUI thread, where every
// widget lives. The manager's thread fetches the thumbnail itself, hands the
// pop-up over with a queued call and waits for its outcome; it never blocks
// the GUI thread, and the GUI thread never waits for it.
//
// Built and destroyed on the GUI thread, before and after the manager. It
// keeps the last pop-up until the next one replaces it, and one that may
// still run an action until that is over.
class PopupEventPresenter : public QObject, public MachineEvent::PopupPresenter {
    Q_OBJECT

public:
    explicit PopupEventPresenter(MonitoredEntry::EntryManager& manager);
    ~PopupEventPresenter() override;

    MachineEvent::PopupOutcome Present(const MachineEvent::Event& event, BasicID<long> entryID) override;
    // On the GUI thread the pop-up closes at once, so that a stop there
    // leaves no window behind; elsewhere through a queued call.
    void Dismiss() override;

    // On the GUI thread: the pop-up on screen, if any, to bring to the front.
    PopupEventDlg* GetOpenPopup() const;

Q_SIGNALS:
    // A pop-up's Event Log Viewer button: the viewer is to be shown.
    void EventLogViewerRequested();

protected:
    bool event(QEvent* event) override;

private:
    // Runs the call on the GUI thread, from any thread.
    void Post(std::function<void()> call);

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
