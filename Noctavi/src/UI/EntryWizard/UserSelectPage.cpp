#include <Noctavi/UI/EntryWizard/UserSelectPage.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/User.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/UserListCtrl.h>
#include <Noctavi/Utility/TextConversion.h>

#include <dialogs/EntryWizard/UserSelectPage.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace UI::EntryWizard {

namespace {

namespace Resource = UserSelectPageResource;

constexpr int kUserStep = 2;
constexpr unsigned int kColumnWidthsString = 112;

} // namespace

struct UserSelectPage::Pimpl {
    explicit Pimpl(QTreeView& view)
        : users(view)
    {
    }

    void Clear()
    {
        name = boost::none;
        account.clear();
        password.clear();
    }

    UserListCtrl users;
    // The machine whose users the list shows.
    std::wstring loadedHost;
    boost::optional<std::wstring> name;
    std::wstring account;
    std::wstring password;
};

UserSelectPage::UserSelectPage()
    : Page(kUserStep, Resource::kTemplate)
    , pimpl_(new Pimpl(GetDlgItem<QTreeView>(*this, Resource::kUsers)))
{
    WatchChanges({Resource::kPassword});
    connect(pimpl_->users.GetView().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded(this, [this] { OnSelect(); }));
    connect(&GetDlgItem<QPushButton>(*this, Resource::kRefresh), &QPushButton::clicked, this,
            Guarded(this, [this] { LoadUsers(); }));
}

UserSelectPage::~UserSelectPage() = default;

int UserSelectPage::GetNextPageKey() const
{
    return Wizard::kCommitPage;
}

void UserSelectPage::OnInitDialog()
{
    pimpl_->users.AddColumns({"IndexColumn", "NameColumn"}, kColumnWidthsString);
    pimpl_->Clear();
    UpdateData(DataExchange::Load);
    Recheck();
}

void UserSelectPage::OnActivate()
{
    const std::wstring host = GetEntryProperty().GetMFP().GetHost();
    if (host == pimpl_->loadedHost)
        return;
    LoadUsers();
    pimpl_->loadedHost = host;
}

bool UserSelectPage::Store()
{
    MonitoredEntry::EntryProperty property = GetEntryProperty();
    property.SetUser(MakeUser());
    SetEntryProperty(property);
    return true;
}

void UserSelectPage::DoDataExchange(DataExchange& exchange)
{
    DDX_Text(exchange, Resource::kName, pimpl_->name);
    DDX_Text(exchange, Resource::kAccount, pimpl_->account);
    DDX_Text(exchange, Resource::kPassword, pimpl_->password);
}

void UserSelectPage::Recheck()
{
    GetDlgItem<QLineEdit>(*this, Resource::kPassword).setReadOnly(!pimpl_->users.GetSelectedKey());
    SetWizardButtons(MakeUser().IsValid() ? Back | Next : WizardButtons(Back));
}

// An account of another machine must never stay chosen for this one: the
// selection and the fields go before the list is asked for, and a list that
// cannot be had leaves none.
void UserSelectPage::LoadUsers()
{
    pimpl_->users.GetView().clearSelection();
    pimpl_->Clear();
    UpdateData(DataExchange::Load);
    UserListSource& source = pimpl_->users.GetSource();
    const MonitoredEntry::MFP machine = GetEntryProperty().GetMFP();
    bool failed = false;
    try {
        RunInBackground([&] { source.SetUsers(machine); });
    } catch (const HTTP::Error&) {
        source.ReplaceUsers({});
        failed = true;
    }
    pimpl_->users.Refresh();
    Recheck();
    if (failed)
        Message::CommunicationError();
    else if (!pimpl_->users.rowCount())
        Message::NoUsersRegistered();
}

void UserSelectPage::OnSelect()
{
    UpdateData(DataExchange::Save);
    const boost::optional<UserListSource::Key> key = pimpl_->users.GetSelectedKey();
    if (!key) {
        pimpl_->Clear();
    } else {
        const IS::User& user = pimpl_->users.GetSource().GetUser(*key);
        pimpl_->name = Utility::ToWide(user.GetDisplayName());
        pimpl_->account = Utility::ToWide(user.GetUserName());
    }
    UpdateData(DataExchange::Load);
    Recheck();
}

MonitoredEntry::User UserSelectPage::MakeUser() const
{
    MonitoredEntry::User user = GetEntryProperty().GetUser();
    user.SetName(pimpl_->name && !pimpl_->name->empty() ? pimpl_->name : boost::none);
    user.SetID(pimpl_->account);
    user.SetPassword(MonitoredEntry::Password(pimpl_->password));
    return user;
}

} // namespace UI::EntryWizard
