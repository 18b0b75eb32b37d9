#include <Noctavi/UI/EntryWizard/MachineSelectPage.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/WorkerThread.h>
#include <Noctavi/Utility/SearchAgent.h>

#include <pelmo/communication_failure.hpp>

#include <dialogs/EntryWizard/MachineSelectPage.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <vector>

namespace UI::EntryWizard {

namespace {

namespace Resource = MachineSelectPageResource;

constexpr int kMachineStep = 1;

} // namespace

struct MachineSelectPage::Pimpl {
    MonitoredEntry::MFP Machine() const { return MonitoredEntry::MFP(name, host, http, https, ssl); }

    void Clear()
    {
        name = boost::none;
        host.clear();
        http = boost::none;
        https = boost::none;
    }

    std::vector<MonitoredEntry::MFP> found;
    bool manual = false;
    boost::optional<std::wstring> name;
    std::wstring host;
    bool ssl = false;
    boost::optional<int> http;
    boost::optional<int> https;
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

void MachineSelectPage::OnInitDialog()
{
    FillList();
    pimpl_->Clear();
    pimpl_->ssl = GetDefaultEntryProperty().GetMFP().GetSSL();
    UpdateData(DataExchange::Load);
    Recheck();
}

// Whatever the machine answers, the user can go on: a machine that cannot say
// whether it lists its users gets its account typed in.
bool MachineSelectPage::Store()
{
    const MonitoredEntry::MFP machine = pimpl_->Machine();
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
    DDX_Text(exchange, Resource::kName, pimpl_->name);
    DDX_Text(exchange, Resource::kHost, pimpl_->host);
    DDX_Text(exchange, Resource::kHttp, pimpl_->http);
    DDX_Text(exchange, Resource::kHttps, pimpl_->https);
    DDX_Check(exchange, Resource::kSsl, pimpl_->ssl);
}

void MachineSelectPage::Recheck()
{
    GetDlgItem(*this, Resource::kRefresh).setEnabled(!pimpl_->manual);
    GetDlgItem(*this, Resource::kMachines).setEnabled(!pimpl_->manual);
    for (const int id : {Resource::kHost, Resource::kHttp, Resource::kHttps})
        GetDlgItem<QLineEdit>(*this, id).setReadOnly(!pimpl_->manual);
    SetWizardButtons(pimpl_->Machine().IsValid() ? Next : WizardButtons());
}

void MachineSelectPage::OnSelect(int row)
{
    UpdateData(DataExchange::Save);
    if (row < 0 || static_cast<std::size_t>(row) >= pimpl_->found.size()) {
        pimpl_->Clear();
    } else {
        const MonitoredEntry::MFP& chosen = pimpl_->found[static_cast<std::size_t>(row)];
        pimpl_->name = chosen.GetName();
        pimpl_->host = chosen.GetHost();
        pimpl_->http = chosen.GetHTTP();
        pimpl_->https = chosen.GetHTTPS();
    }
    UpdateData(DataExchange::Load);
    Recheck();
}

void MachineSelectPage::OnManual()
{
    UpdateData(DataExchange::Save);
    pimpl_->Clear();
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
