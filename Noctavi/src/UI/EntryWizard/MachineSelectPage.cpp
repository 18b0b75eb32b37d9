#include <Noctavi/UI/EntryWizard/MachineSelectPage.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/MachineFields.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/Utility/SearchAgent.h>

#include <pelmo/communication_failure.hpp>

#include <dialogs/EntryWizard/MachineSelectPage.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace UI::EntryWizard {

namespace {

namespace Resource = MachineSelectPageResource;

constexpr int kMachineStep = 1;
constexpr MachineFields::ControlIds kMachineControls{Resource::kName, Resource::kHost, Resource::kHttp,
                                                     Resource::kHttps, Resource::kSsl};

} // namespace

struct MachineSelectPage::Pimpl {
    std::vector<MonitoredEntry::MFP> found;
    bool manual = false;
    MachineFields machine;
    int selector = 0;
};

MachineSelectPage::MachineSelectPage()
    : Page(kMachineStep, Resource::kTemplate)
    , pimpl_(new Pimpl)
{
    WatchChanges({Resource::kSsl, Resource::kHost, Resource::kHttp, Resource::kHttps});
    connect(&GetDlgItem<QListWidget>(*this, Resource::kMachines), &QListWidget::currentRowChanged, this,
            Guarded(this, [this](int row) { OnSelect(row); }));
    connect(&GetDlgItem<QPushButton>(*this, Resource::kRefresh), &QPushButton::clicked, this,
            Guarded(this, [this] { OnRefresh(); }));
    connect(&GetDlgItem<QAbstractButton>(*this, Resource::kManual), &QAbstractButton::clicked, this,
            Guarded(this, [this] { OnManual(); }));
}

MachineSelectPage::~MachineSelectPage() = default;

int MachineSelectPage::GetNextPageKey() const
{
    return pimpl_->selector == 0 ? Wizard::kUserSelectPage : Wizard::kUserInputPage;
}

// The search takes a round of its own: the window appears first, with the
// list empty, and the list fills once the round ends.
void MachineSelectPage::OnInitDialog()
{
    QTimer::singleShot(0, this, Guarded(this, [this] { FillList(); }));
    pimpl_->machine.Clear();
    pimpl_->machine.ssl = GetDefaultEntryProperty().GetMFP().GetSSL();
    UpdateData(DataExchange::Load);
    Recheck();
}

// Whatever the machine answers, the user can go on: a machine that cannot say
// whether it lists its users gets its account typed in.
bool MachineSelectPage::Store()
{
    const MonitoredEntry::MFP machine = pimpl_->machine.Machine();
    pimpl_->selector = AskForUserSelector(machine);
    MonitoredEntry::EntryProperty property = GetEntryProperty();
    property.SetMFP(machine);
    SetEntryProperty(property);
    return true;
}

int MachineSelectPage::AskForUserSelector(const MonitoredEntry::MFP& machine) const
{
    try {
        const IS::InformationServer server(machine);
        bool typedIn = true;
        try {
            RunInBackground([&] { typedIn = IS::GetMachineSettings(server)->GetSecurityPolicy(); });
        } catch (const HTTP::Error&) {
            // No answer, or one of no known policy.
        }
        return typedIn ? 1 : 0;
    } catch (const HTTP::Error&) {
        Message::CommunicationError();
        return 1;
    }
}

void MachineSelectPage::DoDataExchange(DataExchange& exchange)
{
    DDX_Check(exchange, Resource::kManual, pimpl_->manual);
    pimpl_->machine.Exchange(exchange, kMachineControls);
}

void MachineSelectPage::Recheck()
{
    GetDlgItem(*this, Resource::kRefresh).setEnabled(!pimpl_->manual);
    GetDlgItem(*this, Resource::kMachines).setEnabled(!pimpl_->manual);
    for (const int id : {Resource::kHost, Resource::kHttp, Resource::kHttps})
        GetDlgItem<QLineEdit>(*this, id).setReadOnly(!pimpl_->manual);
    SetWizardButtons(!HasInvalidField() && pimpl_->machine.Machine().IsValid() ? Next : WizardButtons());
}

void MachineSelectPage::OnSelect(int row)
{
    UpdateData(DataExchange::Save);
    if (row < 0 || static_cast<std::size_t>(row) >= pimpl_->found.size())
        pimpl_->machine.Clear();
    else
        pimpl_->machine.Take(pimpl_->found[static_cast<std::size_t>(row)]);
    UpdateData(DataExchange::Load);
    Recheck();
}

void MachineSelectPage::OnManual()
{
    UpdateData(DataExchange::Save);
    pimpl_->machine.Clear();
    UpdateData(DataExchange::Load);
    Recheck();
}

void MachineSelectPage::OnRefresh()
{
    FillList();
}

// A search that cannot use the network is reported and leaves the list empty.
void MachineSelectPage::FillList()
{
    auto& list = GetDlgItem<QListWidget>(*this, Resource::kMachines);
    list.clear();
    pimpl_->found.clear();
    SearchAgent agent;
    std::vector<MonitoredEntry::MFP> found;
    try {
        RunInBackground([&] { found = agent.GetResults(); });
    } catch (const pelmo::communication_failure&) {
        Message::CommunicationError();
    }
    pimpl_->found = std::move(found);
    for (const MonitoredEntry::MFP& machine : pimpl_->found)
        list.addItem(GetDisplayName(machine));
}

} // namespace UI::EntryWizard
