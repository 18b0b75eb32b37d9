#include <Noctavi/UI/EntryWizard/CommitPage.h>

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/Duplicate.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/SubscriptionWait.h>
#include <Noctavi/Utility/Trace.h>

#include <dialogs/EntryWizard/CommitPage.h>

#include <QMetaObject>

namespace UI::EntryWizard {

namespace {

namespace Resource = CommitPageResource;

constexpr int kCommitStep = 3;
constexpr unsigned int kCloseOnDuplicateString = 182;

} // namespace

struct CommitPage::Pimpl {
    explicit Pimpl(MonitoredEntry::EntryManager& model)
        : model(model)
    {
    }

    MonitoredEntry::EntryManager& model;
    bool notificationItems = true;
};

CommitPage::CommitPage(MonitoredEntry::EntryManager& model)
    : Page(kCommitStep, Resource::kTemplate)
    , pimpl_(new Pimpl(model))
{
    WatchChanges({Resource::kNotificationItems});
}

CommitPage::~CommitPage() = default;

int CommitPage::GetNextPageKey() const
{
    return -1;
}

void CommitPage::OnInitDialog()
{
    UpdateData(DataExchange::Load);
}

void CommitPage::OnActivate()
{
    SetWizardButtons(Back | Finish);
}

bool CommitPage::Store()
{
    const MonitoredEntry::EntryProperty property = GetEntryProperty();
    const boost::optional<BasicID<long>> id = Append(property);
    if (!id) {
        if (Message::Affirmation(kCloseOnDuplicateString))
            QMetaObject::invokeMethod(&GetWizard(), &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
    if (pimpl_->notificationItems)
        OpenNotificationSettings(*id, property);
    return true;
}

void CommitPage::DoDataExchange(DataExchange& exchange)
{
    DDX_Check(exchange, Resource::kNotificationItems, pimpl_->notificationItems);
}

void CommitPage::Recheck() {}

boost::optional<BasicID<long>> CommitPage::Append(const MonitoredEntry::EntryProperty& property)
{
    MonitoredEntry::EntryManager::Transaction transaction(pimpl_->model);
    if (!transaction.Search(MonitoredEntry::Conditions::Duplicate<MonitoredEntry::EntryProperty>(property))->empty())
        return boost::none;
    const BasicID<long> id = transaction.Append(property);
    transaction.Commit();
    return id;
}

// Only a monitored entry is ever subscribed, so only its result is waited for;
// the page shows what the machine has for the user either way, unless the
// entry went meanwhile or the program is closing.
void CommitPage::OpenNotificationSettings(BasicID<long> id, const MonitoredEntry::EntryProperty& property)
{
    if (property.GetMonitoring()) {
        const SubscriptionOutcome outcome = WaitForSubscription(pimpl_->model, id);
        if (outcome == SubscriptionOutcome::EntryRemoved || outcome == SubscriptionOutcome::ExitRequested)
            return;
    }
    try {
        IS::InformationServer(property.GetMFP()).OpenPage(property.GetUser(), IS::PageMode::NotificationSettings);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the notification settings page could not be opened");
        // The page is a convenience; the entry stands without it.
    }
}

} // namespace UI::EntryWizard
