#include <Noctavi/UI/EntryConfigUserDlg.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/UI/DDX/DDX.h>

#include <dialogs/EntryConfigUserDlg.h>

namespace UI {

namespace {

namespace Resource = EntryConfigUserDlgResource;

} // namespace

struct EntryConfigUserDlg::Pimpl {
    boost::optional<std::wstring> name;
    std::wstring id;
    std::wstring password;
};

EntryConfigUserDlg::EntryConfigUserDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId)
    : EntryConfigPage(model, entryId, Resource::kTemplate)
    , pimpl_(new Pimpl)
{
    WatchChanges({Resource::kPassword});
}

EntryConfigUserDlg::~EntryConfigUserDlg() = default;

void EntryConfigUserDlg::DoDataExchange(DataExchange& exchange)
{
    DDX_Text(exchange, Resource::kName, pimpl_->name);
    DDX_Text(exchange, Resource::kId, pimpl_->id);
    DDX_Text(exchange, Resource::kPassword, pimpl_->password);
}

void EntryConfigUserDlg::Load(const MonitoredEntry::Entry& entry)
{
    const MonitoredEntry::User& user = entry.GetProperty().GetUser();
    pimpl_->name = user.GetName();
    pimpl_->id = user.GetID();
    pimpl_->password = user.GetPassword().GetText();
}

void EntryConfigUserDlg::Store(MonitoredEntry::Entry& entry) const
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    MonitoredEntry::User user = property.GetUser();
    user.SetPassword(MonitoredEntry::Password(pimpl_->password));
    property.SetUser(user);
    entry.SetProperty(property);
}

bool EntryConfigUserDlg::IsValidPart() const
{
    return MonitoredEntry::Password(pimpl_->password).IsValid();
}

} // namespace UI
