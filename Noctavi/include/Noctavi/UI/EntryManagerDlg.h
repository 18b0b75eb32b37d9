#ifndef NOCTAVI_UI_ENTRYMANAGERDLG_H
#define NOCTAVI_UI_ENTRYMANAGERDLG_H

#include <Noctavi/UI/View.h>

#include <QDialog>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// The "User Monitor Settings" window: every monitored entry, with the
// commands to switch an entry's monitoring, open its machine's notification
// page, add, remove and edit entries. Modeless and top-level, one at a time
// through SingletonWnd. It shows what the model holds and redraws when the
// model reports a change; once hidden it no longer follows the model.
class EntryManagerDlg : public View<QDialog> {
public:
    // Throws when the window cannot be built.
    explicit EntryManagerDlg(MonitoredEntry::EntryManager& model);
    ~EntryManagerDlg() override;

protected:
    void Update() override;
    void hideEvent(QHideEvent* event) override;

private:
    void OnInitDialog();
    void UpdateButtons();
    void OnChangeStatus();
    void OnNotificationItems();
    void OnAdd();
    void OnRemove();
    void OnDetailSettings();

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
