#ifndef NOCTAVI_UI_ENTRYWIZARD_WIZARD_H
#define NOCTAVI_UI_ENTRYWIZARD_WIZARD_H

#include <QWizard>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
class EntryProperty;
} // namespace MonitoredEntry

namespace UI::EntryWizard {

// The "Add Monitored Users Wizard": builds one new entry from the configured
// defaults, a machine found on the network or typed in, and one of its users
// picked from the machine's list or typed in. Nothing reaches the model before
// Finish, which appends the entry (unless its host is taken). Window-modal to
// its parent; the caller runs exec() and destroys the wizard. Entry limits are
// the caller's to check before; the append refuses what slips past them.
class Wizard : public QWizard {
public:
    // The pages' keys, which are their dialog ids.
    enum PageKey { kMachineSelectPage = 107, kUserSelectPage = 108, kUserInputPage = 109, kCommitPage = 110 };

    explicit Wizard(MonitoredEntry::EntryManager& model, QWidget* parent = nullptr);
    ~Wizard() override;

    const MonitoredEntry::EntryProperty& GetEntryProperty() const;
    void SetEntryProperty(const MonitoredEntry::EntryProperty& property);

private:
    void OnInitDialog();
    void OnPageChanged(int key);

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI::EntryWizard

#endif
