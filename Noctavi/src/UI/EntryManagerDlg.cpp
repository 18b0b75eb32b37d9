#include <Noctavi/UI/EntryManagerDlg.h>

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/Duplicate.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/EntryListCtrl.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/SubscriptionWait.h>

#include <dialogs/EntryManagerDlg.h>

#include <boost/make_shared.hpp>
#include <boost/optional.hpp>

#include <QHideEvent>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace UI {

using namespace EntryManagerDlgResource;

namespace {

using MonitoredEntry::ChangeEntry;
using MonitoredEntry::CopyProperty;
using MonitoredEntry::Entry;
using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
typedef EntryListSource::Key Key;

constexpr unsigned int kColumnWidths = 106;
constexpr unsigned int kRemoveQuestion = 115;
constexpr unsigned int kCapacityExceeded = 120;

// Every other monitored entry on the entry's machine, switched off.
void SwitchOffDuplicates(EntryManager::Transaction& transaction, const Entry& entry)
{
    std::vector<Key> duplicates;
    const boost::shared_ptr<MonitoredEntry::SearchResult> found =
        transaction.Search(MonitoredEntry::Conditions::Duplicate<Entry>(entry));
    for (const Entry& other : *found)
        duplicates.push_back(other.GetID());
    for (const Key& id : duplicates) {
        const boost::shared_ptr<Entry> other = transaction.GetEntryDB().CloneEntry(id);
        EntryProperty property = other->GetProperty();
        property.SetMonitoring(false);
        other->SetProperty(property);
        transaction.SetEntry(other);
    }
}

} // namespace

struct EntryManagerDlg::Pimpl {
    explicit Pimpl(EntryManager& model)
        : model(model)
        , source(model)
    {
    }

    bool IsMonitored(const Key& id) const;
    bool IsBelowEntryLimit() const;
    bool ChangeStatus(const Key& id);

    EntryManager& model;
    EntryListSource source;
    // Built once the dialog's list view exists.
    std::unique_ptr<EntryListCtrl> list;
    bool changingStatus = false;
};

bool EntryManagerDlg::Pimpl::IsMonitored(const Key& id) const
{
    const boost::optional<EntryProperty> property = CopyProperty(model, id);
    return property && property->GetMonitoring();
}

bool EntryManagerDlg::Pimpl::IsBelowEntryLimit() const
{
    const MonitoredEntry::ModelLock lock(model);
    return static_cast<std::int64_t>(model.GetEntryDB().Size()) < GetConfigLimits().EntryMax;
}

// The other entries on the machine are switched off before the changed one
// is stored, so that it meets no duplicate; one commit tells the observers
// once. True when the entry is now monitored.
bool EntryManagerDlg::Pimpl::ChangeStatus(const Key& id)
{
    bool monitored = false;
    ChangeEntry(model, id, [&](EntryManager::Transaction& transaction, Entry& entry) {
        EntryProperty property = entry.GetProperty();
        monitored = !property.GetMonitoring();
        property.SetMonitoring(monitored);
        property.SetStatus(EntryProperty::StatusNotReported);
        entry.SetProperty(property);
        if (monitored)
            SwitchOffDuplicates(transaction, entry);
    });
    return monitored;
}

EntryManagerDlg::EntryManagerDlg(EntryManager& model)
    : pimpl_(boost::make_shared<Pimpl>(model))
{
    OnInitDialog();
    SetModel(model);
}

EntryManagerDlg::~EntryManagerDlg()
{
    ResetModel();
}

void EntryManagerDlg::Update()
{
    pimpl_->list->Refresh();
    UpdateButtons();
}

// A closed window no longer follows the model; the next Settings command
// makes a new one. A minimised one, hidden by the window system, still does.
void EntryManagerDlg::hideEvent(QHideEvent* event)
{
    View::hideEvent(event);
    if (!event->spontaneous())
        ResetModel();
}

void EntryManagerDlg::OnInitDialog()
{
    BuildDialog(*this, kTemplate);
    SetWindowIcon(*this);
    auto& view = GetDlgItem<QTreeView>(*this, kEntries);
    pimpl_->list = std::make_unique<EntryListCtrl>(view, pimpl_->source);
    pimpl_->list->AddColumns({"MFPNameColumn", "StatusColumn", "UserNameColumn", "EnableNoticeColumn"}, kColumnWidths);
    // The list's model replaced the view's selection model.
    connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded(this, [this] { UpdateButtons(); }));
    const std::pair<int, void (EntryManagerDlg::*)()> commands[] = {
        {kChangeStatus, &EntryManagerDlg::OnChangeStatus}, {kNotificationItems, &EntryManagerDlg::OnNotificationItems},
        {kAdd, &EntryManagerDlg::OnAdd},                   {kRemove, &EntryManagerDlg::OnRemove},
        {kDetailSettings, &EntryManagerDlg::OnDetailSettings},
    };
    for (const auto& [id, handler] : commands) {
        connect(&GetDlgItem<QPushButton>(*this, id), &QPushButton::clicked, this,
                Guarded(this, [this, handler = handler] { (this->*handler)(); }));
    }
    connect(&GetDlgItem<QPushButton>(*this, kClose), &QPushButton::clicked, this, &QDialog::accept);
    pimpl_->list->Refresh();
    UpdateButtons();
}

// A selected entry that has vanished counts as no selection.
void EntryManagerDlg::UpdateButtons()
{
    const boost::optional<Key> selected = pimpl_->list->GetSelectedKey();
    GetDlgItem(*this, kChangeStatus).setEnabled(selected && !pimpl_->changingStatus);
    GetDlgItem(*this, kRemove).setEnabled(bool(selected));
    GetDlgItem(*this, kDetailSettings).setEnabled(bool(selected));
    GetDlgItem(*this, kNotificationItems).setEnabled(selected && pimpl_->IsMonitored(*selected));
}

// The wait follows only a switch on: the unsubscription that a switch off
// starts writes its outcome too, but the user has nothing to wait for, and it
// may take a connection time-out on a machine that is gone.
void EntryManagerDlg::OnChangeStatus()
{
    const boost::optional<Key> selected = pimpl_->list->GetSelectedKey();
    if (!selected)
        return;
    pimpl_->changingStatus = true;
    UpdateButtons();
    try {
        if (pimpl_->ChangeStatus(*selected))
            WaitForSubscription(pimpl_->model, *selected);
    } catch (...) {
        pimpl_->changingStatus = false;
        UpdateButtons();
        throw;
    }
    pimpl_->changingStatus = false;
    UpdateButtons();
}

// The browser starts after the model lock is released.
void EntryManagerDlg::OnNotificationItems()
{
    const boost::optional<Key> selected = pimpl_->list->GetSelectedKey();
    if (!selected)
        return;
    if (const boost::optional<EntryProperty> property = CopyProperty(pimpl_->model, *selected))
        IS::InformationServer(property->GetMFP()).OpenPage(property->GetUser(), IS::PageMode::NotificationSettings);
}

void EntryManagerDlg::OnAdd()
{
    if (!pimpl_->IsBelowEntryLimit()) {
        Message::Show(kCapacityExceeded, QMessageBox::Critical, this);
        return;
    }
    // The wizard's commit reaches the list through the model's notification.
    EntryWizard::Wizard wizard(pimpl_->model, this);
    wizard.exec();
}

// The key is taken before the question: while it waits for the answer the
// list may refresh and move the selection to another entry, which the user
// did not agree to remove.
void EntryManagerDlg::OnRemove()
{
    const boost::optional<Key> selected = pimpl_->list->GetSelectedKey();
    if (!selected || !Message::Affirmation(kRemoveQuestion))
        return;
    {
        EntryManager::Transaction transaction(pimpl_->model);
        if (!transaction.GetEntryDB().Erase(*selected))
            return;
        transaction.Commit();
    }
    Update();
}

void EntryManagerDlg::OnDetailSettings()
{
    const boost::optional<Key> selected = pimpl_->list->GetSelectedKey();
    if (!selected)
        return;
    EntryConfigSheet sheet(pimpl_->model, *selected, this);
    sheet.exec();
}

} // namespace UI
