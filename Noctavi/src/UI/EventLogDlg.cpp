#include <Noctavi/UI/EventLogDlg.h>

#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MachineEvent/FindEvent.h>
#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/MarkRead.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/Monitor/Signal.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DDX/DataExchange.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryListCtrl.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/EventListCtrl.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/OpenLoginPage.h>

#include <dialogs/EventLogDlg.h>

#include <boost/make_shared.hpp>
#include <boost/optional.hpp>

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QTreeView>

#include <string>

namespace UI {

using namespace EventLogDlgResource;

namespace {

constexpr unsigned int kEntryWidthsString = 111;
constexpr unsigned int kEventWidthsString = 127;
// The events open oldest first.
constexpr int kTimeColumn = 2;

// The user's request to fetch an entry's feed at once: it concerns every
// monitor of the entry's machine, whichever user it watches. Hosts are
// compared as typed, without resolving them.
class UpdateSignal final : public Monitor::Signal {
public:
    explicit UpdateSignal(const MonitoredEntry::Distinction& distinction)
        : distinction_(distinction)
    {
    }

    bool Matches(const MonitoredEntry::Distinction& identity) const override
    {
        return identity.GetMFP().GetHost() == distinction_.GetMFP().GetHost();
    }

private:
    const MonitoredEntry::Distinction distinction_;
};

// None when the entry or the event has gone.
boost::optional<bool> IsRead(MonitoredEntry::EntryManager& manager, const EventListSource::Key& key)
{
    boost::optional<bool> read;
    MonitoredEntry::ReadEntry(manager, key.first, [&](const MonitoredEntry::Entry& entry) {
        const boost::shared_ptr<const MonitoredEntry::EventLog> log = entry.GetSharedEventLog();
        if (log->Contains(key.second))
            read = log->GetEvent(key.second).IsRead();
    });
    return read;
}

} // namespace

struct EventLogDlg::Pimpl {
    Pimpl(EventLogDlg& dialog, MonitoredEntry::EntryManager& manager, Monitor::EventSignalObserver& eventMonitors)
        : dialog(dialog)
        , manager(manager)
        , eventMonitors(eventMonitors)
        , entrySource(manager)
        , entries(GetDlgItem<QTreeView>(dialog, kEntries), entrySource)
        , eventSource(manager)
        , events(GetDlgItem<QTreeView>(dialog, kEvents), eventSource)
    {
    }

    void SetUpLists();
    void ConnectHandlers();
    void OnButton(int id, void (Pimpl::*handler)());
    void ShowSelection();
    void ShowNames();
    void Enable(int id, bool enable) const { GetDlgItem(dialog, id).setEnabled(enable); }

    void OnRefresh();
    void OnLogin();
    void OnAllConfirm();
    void OnEventDblClk();

    EventLogDlg& dialog;
    MonitoredEntry::EntryManager& manager;
    Monitor::EventSignalObserver& eventMonitors;
    EntryListSource entrySource;
    EntryListCtrl entries;
    EventListSource eventSource;
    EventListCtrl events;
    boost::optional<std::wstring> machineName;
    boost::optional<std::wstring> userName;
};

void EventLogDlg::Pimpl::SetUpLists()
{
    entries.AddColumns({"UnreadIconColumn", "MFPNameColumn", "StatusColumn"}, kEntryWidthsString);
    events.AddColumns({"UnreadIconColumn", "EventNameColumn", "TimeColumn", "InfoColumn"}, kEventWidthsString);
    events.SetSortColumn(kTimeColumn);
}

// The views' selection models come with the lists, so they are connected after.
void EventLogDlg::Pimpl::ConnectHandlers()
{
    OnButton(kRefresh, &Pimpl::OnRefresh);
    OnButton(kLogin, &Pimpl::OnLogin);
    OnButton(kAllConfirm, &Pimpl::OnAllConfirm);
    connect(entries.GetView().selectionModel(), &QItemSelectionModel::selectionChanged, &dialog,
            Guarded(&dialog, [this] { ShowSelection(); }));
    connect(&events.GetView(), &QAbstractItemView::doubleClicked, &dialog,
            Guarded(&dialog, [this] { OnEventDblClk(); }));
    connect(&GetDlgItem<QAbstractButton>(dialog, kClose), &QAbstractButton::clicked, &dialog, &QDialog::accept);
}

void EventLogDlg::Pimpl::OnButton(int id, void (Pimpl::*handler)())
{
    connect(&GetDlgItem<QAbstractButton>(dialog, id), &QAbstractButton::clicked, &dialog,
            Guarded(&dialog, [this, handler] { (this->*handler)(); }));
}

// Under one hold of the model lock, so that an entry that goes meanwhile is
// no selection rather than half of one.
void EventLogDlg::Pimpl::ShowSelection()
{
    const MonitoredEntry::ModelLock lock(manager);
    const boost::optional<BasicID<long>> entryId = entries.GetSelectedKey();
    eventSource.SetEntry(entryId);
    const MonitoredEntry::Entry* entry = entryId ? &manager.GetEntryDB().GetEntry(*entryId) : nullptr;
    const bool monitoring = entry && entry->GetProperty().GetMonitoring();
    Enable(kRefresh, monitoring);
    Enable(kLogin, monitoring);
    Enable(kAllConfirm, entry && entry->GetSharedEventLog()->CountUnread() > 0);
    machineName = entry ? boost::make_optional(GetDisplayName(entry->GetProperty().GetMFP()).toStdWString()) : boost::none;
    userName = entry ? boost::make_optional(GetDisplayName(entry->GetProperty().GetUser()).toStdWString()) : boost::none;
    ShowNames();
    events.Refresh();
}

void EventLogDlg::Pimpl::ShowNames()
{
    DataExchange exchange(dialog, DataExchange::Load);
    DDX_Text(exchange, kMachine, machineName);
    DDX_Text(exchange, kUser, userName);
}

// The monitors are woken with the model lock released, since they take it
// themselves.
void EventLogDlg::Pimpl::OnRefresh()
{
    const boost::optional<BasicID<long>> entryId = entries.GetSelectedKey();
    if (!entryId)
        return;
    boost::optional<UpdateSignal> signal;
    MonitoredEntry::ReadEntry(manager, *entryId, [&](const MonitoredEntry::Entry& entry) {
        signal.emplace(MonitoredEntry::Distinction(entry));
    });
    if (signal)
        eventMonitors.OnSignal(*signal);
}

void EventLogDlg::Pimpl::OnLogin()
{
    if (const boost::optional<BasicID<long>> entryId = entries.GetSelectedKey())
        OpenLoginPage(manager, *entryId);
}

// One transaction per unread event; the lists follow as the notifications
// come. An entry or event that has gone ends the run and leaves the button.
void EventLogDlg::Pimpl::OnAllConfirm()
{
    if (!entries.GetSelectedKey())
        return;
    std::unique_ptr<EventListSource::Keys> keys;
    {
        const MonitoredEntry::ModelLock lock(manager);
        keys = eventSource.GetKeys();
    }
    for (const EventListSource::Key& key : *keys) {
        const boost::optional<bool> read = IsRead(manager, key);
        if (!read)
            return;
        if (!*read)
            MonitoredEntry::MarkRead(manager, key.first, key.second);
    }
    Enable(kAllConfirm, false);
}

// The event is marked read before its dialog opens, so that the lists show
// it read while the dialog is up. The dialog is modal to this window, which
// therefore cannot close under it.
void EventLogDlg::Pimpl::OnEventDblClk()
{
    const boost::optional<EventListSource::Key> key = events.GetSelectedKey();
    if (!key)
        return;
    const boost::optional<MachineEvent::Event> event = MachineEvent::FindEvent(manager, key->first, key->second);
    if (!event)
        return;
    EventDlg details(*event);
    details.setParent(&dialog, details.windowFlags());
    details.Bind(manager, key->first);
    MonitoredEntry::MarkRead(manager, key->first, key->second);
    details.exec();
}

EventLogDlg::EventLogDlg(MonitoredEntry::EntryManager& manager, Monitor::EventSignalObserver& eventMonitors)
{
    BuildDialog(*this, kTemplate);
    SetWindowIcon(*this);
    pimpl_ = boost::make_shared<Pimpl>(*this, manager, eventMonitors);
    pimpl_->SetUpLists();
    pimpl_->ConnectHandlers();
    pimpl_->entries.Refresh();
    pimpl_->ShowSelection();
    SetModel(manager);
}

// No notification may reach the dialog once its lists are going.
EventLogDlg::~EventLogDlg()
{
    ResetModel();
}

void EventLogDlg::Update()
{
    pimpl_->entries.Refresh();
    pimpl_->ShowSelection();
}

} // namespace UI
