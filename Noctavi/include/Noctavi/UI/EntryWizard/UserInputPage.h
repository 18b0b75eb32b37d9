#ifndef NOCTAVI_UI_ENTRYWIZARD_USERINPUTPAGE_H
#define NOCTAVI_UI_ENTRYWIZARD_USERINPUTPAGE_H

#include <Noctavi/UI/EntryWizard/Page.h>

namespace MonitoredEntry {
class User;
}

namespace UI::EntryWizard {

// Step 2 for a machine that does not list its users, or cannot be asked: the
// account ID and password, typed in.
class UserInputPage : public Page {
public:
    UserInputPage();
    ~UserInputPage() override;

private:
    int GetNextPageKey() const override;
    void OnInitDialog() override;
    void OnActivate() override;
    bool Store() override;
    void DoDataExchange(DataExchange& exchange) override;
    void Recheck() override;

    MonitoredEntry::User MakeUser() const;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI::EntryWizard

#endif
