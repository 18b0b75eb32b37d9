#ifndef NOCTAVI_UI_ENTRYCONFIGSHEET_H
#define NOCTAVI_UI_ENTRYCONFIGSHEET_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <QDialog>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// The "Detail Settings" sheet: one existing entry's machine, password and
// settings on the pages "MFP", "User" and "Settings". Each page reads the
// entry when first shown; OK writes every shown page back, one transaction
// per page. Window-modal; the caller runs exec() and destroys the sheet. It
// needs no other window of the program, so that install mode can show it.
class EntryConfigSheet : public QDialog {
public:
    EntryConfigSheet(MonitoredEntry::EntryManager& model, BasicID<long> entryId, QWidget* parent = nullptr);
    ~EntryConfigSheet() override;

    // No shown page holds an invalid field.
    bool IsAllValidParams() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnOK();

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
