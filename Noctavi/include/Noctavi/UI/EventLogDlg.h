#ifndef NOCTAVI_UI_EVENTLOGDLG_H
#define NOCTAVI_UI_EVENTLOGDLG_H

#include <Noctavi/UI/View.h>

#include <QDialog>

#include <boost/shared_ptr.hpp>

namespace Monitor {
class EventSignalObserver;
}

namespace UI {

// The "Event Log Viewer": every monitored entry on the left; the selected
// entry's machine and user names and its logged events on the right. From
// here the user has the entry's feed fetched at once (Refresh), opens the
// machine's page in the browser (Login), marks all of the entry's events read
// (All Confirm) and opens an event in the event details dialog by
// double-clicking it, which marks it read.
//
// Modeless and top-level, one at a time (SingletonWnd); Close and Esc hide
// it. It follows the model on its own. GUI thread only.
class EventLogDlg : public View<QDialog> {
public:
    // Refresh wakes the monitors through eventMonitors; both outlive the dialog.
    EventLogDlg(MonitoredEntry::EntryManager& manager, Monitor::EventSignalObserver& eventMonitors);
    ~EventLogDlg() override;

protected:
    // Shows the model's entries again, and what is selected among them.
    void Update() override;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
