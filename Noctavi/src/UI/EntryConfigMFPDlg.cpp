#include <Noctavi/UI/EntryConfigMFPDlg.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/MachineFields.h>
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

constexpr MachineFields::ControlIds kMachineControls{Resource::kName, Resource::kHost, Resource::kHttp,
                                                     Resource::kHttps, Resource::kSsl};

} // namespace

struct EntryConfigMFPDlg::Pimpl {
    bool manual = false;
    MachineFields machine;
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
    pimpl_->machine.Exchange(exchange, kMachineControls);
}

void EntryConfigMFPDlg::Load(const MonitoredEntry::Entry& entry)
{
    const MonitoredEntry::MFP& machine = entry.GetProperty().GetMFP();
    pimpl_->machine.Take(machine);
    pimpl_->machine.ssl = machine.GetSSL();
    pimpl_->manual = false;
}

void EntryConfigMFPDlg::Store(MonitoredEntry::Entry& entry) const
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    property.SetMFP(pimpl_->machine.Machine());
    entry.SetProperty(property);
}

bool EntryConfigMFPDlg::IsValidPart() const
{
    return pimpl_->machine.Machine().IsValid();
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
    pimpl_->machine.Take(agent.Search());
    UpdateData(DataExchange::Load);
    RefreshDependentControls();
}

} // namespace UI
