#ifndef NOCTAVI_UI_EVENTDLG_H
#define NOCTAVI_UI_EVENTDLG_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <QDialog>
#include <QImage>

#include <boost/shared_ptr.hpp>

#include <optional>

namespace IS {
class InformationServer;
}
namespace MachineEvent {
class Event;
}
namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// The "Event Details" dialog: one logged event of a monitored entry, the
// entry's unread count and, when the event names a document stored on the
// machine, its thumbnail and the document's actions (preview, print, save,
// delete). Built from a copy of the event, bound to the model, then run with
// exec(): Accepted after Close or a successful Delete, Rejected otherwise.
//
// A top-level, window-modal dialog on the GUI thread. No request to the
// machine runs there: the thumbnail comes prepared or is fetched on a worker
// thread as the dialog opens, and the document's actions run on workers while
// the dialog keeps painting.
class EventDlg : public QDialog {
    Q_OBJECT

public:
    // Fetches the event's thumbnail itself once the dialog opens.
    explicit EventDlg(const MachineEvent::Event& event);
    // Shows a thumbnail fetched beforehand (FetchThumbnail).
    EventDlg(const MachineEvent::Event& event, const std::optional<QImage>& thumbnail);
    ~EventDlg() override;

    // The model and the event's entry, whose settings and unread count the
    // dialog shows; given before the dialog opens.
    void Bind(MonitoredEntry::EntryManager& manager, BasicID<long> entryId);

    // Whether the dialog ended through its Event Log Viewer button.
    bool IsEventLogViewerRequested() const;
    // The entry's pop-up time in milliseconds (0: the pop-up stays), as read
    // when the dialog opened.
    int GetPopupTime() const;

Q_SIGNALS:
    // The Event Log Viewer button: whoever opened the dialog shows the viewer.
    void EventLogViewerRequested();

protected:
    // Fills the dialog from the event and the model as it opens; a derived
    // dialog adds its own part after this one.
    virtual void OnInitDialog();
    void showEvent(QShowEvent* event) override;
    // True while one of the dialog's own actions runs: a request, a box, the
    // save chooser.
    bool IsActionRunning() const;
    // Called once the last action running has ended with the dialog open.
    virtual void OnActionEnded() {}

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

// The event's thumbnail, fetched with the user's credentials and decoded
// within the in-memory image limits: a null image when the event names no
// thumbnail or the bytes are no picture, none when the request failed (the
// machine no longer has the document). It waits on the machine, so it runs
// on a worker thread; the server's Cancel ends it early.
std::optional<QImage> FetchThumbnail(const IS::InformationServer& server, const MachineEvent::Event& event);

} // namespace UI

#endif
