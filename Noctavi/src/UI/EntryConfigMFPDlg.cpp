#include <Noctavi/UI/EntryConfigMFPDlg.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/PickList.h>
#include <Noctavi/Utility/SearchAgent.h>

#include <pelmo/communication_failure.hpp>

#include <dialogs/EntryConfigMFPDlg.h>

#include <QLineEdit>
#include <QPushButton>

namespace UI {

namespace {

namespace Resource = EntryConfigMFPDlgResource;

} // namespace

struct EntryConfigMFPDlg::Pimpl {
    MonitoredEntry::MFP Machine() const { return MonitoredEntry::MFP(name, host, http, https, ssl); }

    void Take(const MonitoredEntry::MFP& machine)
    {
        name = machine.GetName();
        host = machine.GetHost();
        http = machine.GetHTTP();
        https = machine.GetHTTPS();
    }

    bool manual = false;
    boost::optional<std::wstring> name;
    std::wstring host;
    boost::optional<int> http;
    boost::optional<int> https;
    bool ssl = false;
};

EntryConfigMFPDlg::EntryConfigMFPDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId)
    : EntryConfigPage(model, entryId, Resource::kTemplate)
    , pimpl_(new Pimpl)
{
    WatchChanges({Resource::kManual, Resource::kSsl, Resource::kHost, Resource::kHttp, Resource::kHttps});
    connect(&GetDlgItem<QPushButton>(*this, Resource::kChangeMachine), &QPushButton::clicked, this,
            Guarded(this, [this] { OnChangeMachine(); }));
}

EntryConfigMFPDlg::~EntryConfigMFPDlg() = default;

void EntryConfigMFPDlg::DoDataExchange(DataExchange& exchange)
{
    DDX_Check(exchange, Resource::kManual, pimpl_->manual);
    DDX_Text(exchange, Resource::kName, pimpl_->name);
    DDX_Text(exchange, Resource::kHost, pimpl_->host);
    DDX_Text(exchange, Resource::kHttp, pimpl_->http);
    DDX_Text(exchange, Resource::kHttps, pimpl_->https);
    DDX_Check(exchange, Resource::kSsl, pimpl_->ssl);
}

void EntryConfigMFPDlg::Load(const MonitoredEntry::Entry& entry)
{
    const MonitoredEntry::MFP& machine = entry.GetProperty().GetMFP();
    pimpl_->Take(machine);
    pimpl_->ssl = machine.GetSSL();
    pimpl_->manual = false;
}

void EntryConfigMFPDlg::Store(MonitoredEntry::Entry& entry) const
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    property.SetMFP(pimpl_->Machine());
    entry.SetProperty(property);
}

bool EntryConfigMFPDlg::IsValidPart() const
{
    return pimpl_->Machine().IsValid();
}

void EntryConfigMFPDlg::UpdateDependentControls()
{
    for (const int id : {Resource::kHost, Resource::kHttp, Resource::kHttps})
        GetDlgItem<QLineEdit>(*this, id).setReadOnly(!pimpl_->manual);
    GetDlgItem(*this, Resource::kChangeMachine).setEnabled(!pimpl_->manual);
}

void EntryConfigMFPDlg::OnChangeMachine()
{
    UpdateData(DataExchange::Save);
    SearchAgent agent(PickListWindow(this));
    try {
        if (!agent.Probe())
            return;
    } catch (const pelmo::communication_failure&) {
        Message::CommunicationError();
        return;
    }
    pimpl_->Take(agent.Search());
    UpdateData(DataExchange::Load);
    RefreshDependentControls();
}

} // namespace UI
