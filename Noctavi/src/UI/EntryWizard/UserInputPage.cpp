#include <Noctavi/UI/EntryWizard/UserInputPage.h>

#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>

#include <dialogs/EntryWizard/UserInputPage.h>

namespace UI::EntryWizard {

namespace {

namespace Resource = UserInputPageResource;

constexpr int kUserStep = 2;

} // namespace

struct UserInputPage::Pimpl {
    std::wstring account;
    std::wstring password;
};

UserInputPage::UserInputPage()
    : Page(kUserStep, Resource::kTemplate)
    , pimpl_(new Pimpl)
{
    WatchChanges({Resource::kAccount, Resource::kPassword});
}

UserInputPage::~UserInputPage() = default;

int UserInputPage::GetNextPageKey() const
{
    return Wizard::kCommitPage;
}

void UserInputPage::OnInitDialog()
{
    UpdateData(DataExchange::Load);
}

void UserInputPage::OnActivate()
{
    Recheck();
}

bool UserInputPage::Store()
{
    MonitoredEntry::EntryProperty property = GetEntryProperty();
    property.SetUser(MakeUser());
    SetEntryProperty(property);
    return true;
}

void UserInputPage::DoDataExchange(DataExchange& exchange)
{
    DDX_Text(exchange, Resource::kAccount, pimpl_->account);
    DDX_Text(exchange, Resource::kPassword, pimpl_->password);
}

void UserInputPage::Recheck()
{
    SetWizardButtons(MakeUser().IsValid() ? Back | Next : WizardButtons(Back));
}

// No display name: one kept from a user list seen earlier in the wizard may
// be another machine's.
MonitoredEntry::User UserInputPage::MakeUser() const
{
    return MonitoredEntry::User(boost::none, pimpl_->account, MonitoredEntry::Password(pimpl_->password));
}

} // namespace UI::EntryWizard
