#ifndef NOCTAVI_UI_ENTRYWIZARD_USERSELECTPAGE_H
#define NOCTAVI_UI_ENTRYWIZARD_USERSELECTPAGE_H

#include <Noctavi/UI/EntryWizard/Page.h>

namespace MonitoredEntry {
class User;
}

namespace UI::EntryWizard {

// Step 2 for a machine that lists its users: one of them, and the password.
// The list is loaded when the page is reached for another machine than the
// one it shows, and again on "&Refresh"; each load clears the selection and
// the fields, and one that fails leaves the list empty.
class UserSelectPage : public Page {
public:
    UserSelectPage();
    ~UserSelectPage() override;

private:
    int GetNextPageKey() const override;
    void OnInitDialog() override;
    void OnActivate() override;
    bool Store() override;
    void DoDataExchange(DataExchange& exchange) override;
    void Recheck() override;

    void LoadUsers();
    void OnSelect();
    MonitoredEntry::User MakeUser() const;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI::EntryWizard

#endif
