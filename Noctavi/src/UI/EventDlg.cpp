#include <Noctavi/UI/EventDlg.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/NoAuthority.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/BitmapStretcher.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DocumentPreview.h>
#include <Noctavi/UI/DocumentSave.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/UI/WindowPlacement.h>
#include <Noctavi/UI/WorkerThread.h>

#include <dialogs/EventDlg.h>

#include <boost/make_shared.hpp>
#include <boost/optional.hpp>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace UI {

using namespace EventDlgResource;

namespace {

constexpr unsigned int kPieceString = 211;
constexpr unsigned int kDeleteQuestionString = 213;
constexpr unsigned int kDocumentDeletedString = 215;
// How often the dialog looks whether its thumbnail has come.
constexpr int kThumbnailPollInterval = 20;
// The count's icon is drawn at its own size, as a Windows icon control draws
// it whatever the control's size.
constexpr QSize kCountIconSize(16, 16);

// The controls that act on the event's document.
constexpr int kDocumentControls[] = {kPreview, kPrint, kSave, kDelete, kMarkRead};

// One line, cut with an ellipsis where it is wider than the label; the whole
// text is then the label's tool tip.
void ShowOneLine(QLabel& label, const QString& text)
{
    label.setWordWrap(false);
    const QString shown = label.fontMetrics().elidedText(text, Qt::ElideRight, label.width());
    label.setText(shown);
    label.setToolTip(shown == text ? QString() : text);
}

// The whole text on one line, the label as wide as the text.
void ShowWhole(QLabel& label, const QString& text)
{
    label.setWordWrap(false);
    label.setText(text);
    label.resize(label.sizeHint().width(), label.height());
}

int Bottom(const QWidget& widget)
{
    return widget.y() + widget.height();
}

} // namespace

struct EventDlg::Pimpl {
    Pimpl(EventDlg& dialog, const MachineEvent::Event& event)
        : dialog(dialog)
        , event(event)
    {
    }
    Pimpl(const Pimpl&) = delete;
    Pimpl& operator=(const Pimpl&) = delete;
    ~Pimpl()
    {
        if (thumbnailServer)
            thumbnailServer->Cancel();
    }

    EventDlg& dialog;
    const MachineEvent::Event event;
    bool thumbnailPrepared = false;
    MonitoredEntry::EntryManager* manager = nullptr;
    BasicID<long> entryId;
    int unreadCount = 0;
    int popupTime = 0;
    bool markRead = false;
    // Asked also when the entry's setting cannot be read: a delete is for good.
    bool confirmDelete = true;
    bool logViewerRequested = false;
    bool initialised = false;
    int actionsRunning = 0;

    // Prepared, or fetched as the dialog opens: the worker writes it before
    // it finishes, and the poll reads it after.
    std::optional<QImage> thumbnail;
    std::optional<IS::InformationServer> thumbnailServer;
    std::unique_ptr<WorkerThread> thumbnailWorker;
    QTimer thumbnailPoll;

    template <class T = QWidget>
    T& Item(int id) const
    {
        return GetDlgItem<T>(dialog, id);
    }

    bool HasDocument() const { return event.GetProperty().GetThumbNailURL().has_value(); }
    const std::wstring& DocumentId() const { return event.GetProperty().GetDocID().value(); }

    void ConnectHandlers();
    void OnButton(int id, void (Pimpl::*handler)());
    void RunAction(void (Pimpl::*handler)());
    void EndAction();
    void ShowEvent();
    void ReadEntrySettings();
    void ShowUnreadCount();
    void StartThumbnail();
    void TakeFetchedThumbnail();
    void ShowThumbnail();
    void CreateThumbnail(const QImage& image);
    void ShowDocumentDeleted();
    void HideDocumentArea();
    void EnableDocumentControls(bool enable);
    void RunOnMachine(const std::function<void(const IS::InformationServer&)>& request) const;

    void OnPreview() { PreviewDocument(event, markRead); }
    void OnSave() { SaveDocumentAs(event, markRead, dialog); }
    void OnPrint();
    void OnDelete();
    void OnLogin();
    void OnEventLogViewer();
};

void EventDlg::Pimpl::ConnectHandlers()
{
    OnButton(kPreview, &Pimpl::OnPreview);
    OnButton(kPrint, &Pimpl::OnPrint);
    OnButton(kSave, &Pimpl::OnSave);
    OnButton(kLogin, &Pimpl::OnLogin);
    OnButton(kEventLogViewer, &Pimpl::OnEventLogViewer);
    OnButton(kDelete, &Pimpl::OnDelete);
    // Only this dialog's choice changes; the entry's setting stays.
    connect(&Item<QCheckBox>(kMarkRead), &QCheckBox::toggled, &dialog, [this](bool checked) { markRead = checked; });
    connect(&Item<QAbstractButton>(kClose), &QAbstractButton::clicked, &dialog, &QDialog::accept);
    connect(&thumbnailPoll, &QTimer::timeout, &dialog, Guarded(&dialog, [this] { TakeFetchedThumbnail(); }));
}

void EventDlg::Pimpl::OnButton(int id, void (Pimpl::*handler)())
{
    connect(&Item<QAbstractButton>(id), &QAbstractButton::clicked, &dialog,
            Guarded(&dialog, [this, handler] { RunAction(handler); }));
}

void EventDlg::Pimpl::RunAction(void (Pimpl::*handler)())
{
    ++actionsRunning;
    try {
        (this->*handler)();
    } catch (...) {
        EndAction();
        throw;
    }
    EndAction();
}

void EventDlg::Pimpl::EndAction()
{
    if (--actionsRunning == 0 && dialog.isVisible())
        dialog.OnActionEnded();
}

void EventDlg::Pimpl::ShowEvent()
{
    const MonitoredEntry::EventProperty& property = event.GetProperty();
    ShowOneLine(Item<QLabel>(kMachine), GetDisplayName(event.GetMFP()));
    ShowOneLine(Item<QLabel>(kUser), GetDisplayName(event.GetUser()));
    ShowOneLine(Item<QLabel>(kCategory), QString::fromStdWString(property.GetCategory()));
    ShowOneLine(Item<QLabel>(kInfo), QString::fromStdWString(property.GetInfo()));
    ShowOneLine(Item<QLabel>(kTime), FormatEventTime(property.GetTime()));
}

// An entry that is gone leaves the settings as construction gave them.
void EventDlg::Pimpl::ReadEntrySettings()
{
    std::optional<MonitoredEntry::EntryProperty> property;
    if (manager) {
        MonitoredEntry::ReadEntry(*manager, entryId, [&](const MonitoredEntry::Entry& entry) {
            unreadCount = entry.GetSharedEventLog()->CountUnread();
            property = entry.GetProperty();
        });
    }
    ShowUnreadCount();
    if (!property)
        return;
    if (!property->GetMonitoring())
        Item(kLogin).hide();
    const MonitoredEntry::Config& config = property->GetConfig();
    popupTime = config.GetEraseTime();
    markRead = config.GetEventRead();
    confirmDelete = config.GetDeleteMsg();
    Item<QCheckBox>(kMarkRead).setChecked(markRead);
}

void EventDlg::Pimpl::ShowUnreadCount()
{
    auto& icon = Item<QLabel>(kCountIcon);
    icon.setPixmap(LoadIconResource(unreadCount > 0 ? kUnreadCountIcon : kNoUnreadCountIcon).pixmap(kCountIconSize));
    icon.resize(kCountIconSize);
    auto& count = Item<QLabel>(kCountText);
    if (unreadCount > 0) {
        QFont bold = count.font();
        bold.setBold(true);
        count.setFont(bold);
    }
    ShowWhole(count, QString::number(unreadCount) + LoadString(kPieceString));
}

void EventDlg::Pimpl::StartThumbnail()
{
    EnableDocumentControls(false);
    dialog.setCursor(Qt::BusyCursor);
    thumbnailServer.emplace(event.GetMFP());
    thumbnailWorker = std::make_unique<WorkerThread>(
        [this, server = *thumbnailServer, event = event] { thumbnail = FetchThumbnail(server, event); });
    thumbnailPoll.start(kThumbnailPollInterval);
}

void EventDlg::Pimpl::TakeFetchedThumbnail()
{
    if (!thumbnailWorker->IsFinished())
        return;
    thumbnailPoll.stop();
    dialog.unsetCursor();
    ShowThumbnail();
    thumbnailWorker->Rethrow();
}

// Only a failed request means that the document is gone; a picture that
// cannot be decoded leaves the area empty, and the document can still be had.
void EventDlg::Pimpl::ShowThumbnail()
{
    if (!thumbnail)
        return ShowDocumentDeleted();
    EnableDocumentControls(true);
    if (!thumbnail->isNull())
        CreateThumbnail(*thumbnail);
}

void EventDlg::Pimpl::CreateThumbnail(const QImage& image)
{
    const QWidget& area = Item(kThumbnailArea);
    auto& picture = Item<QLabel>(kThumbnail);
    picture.setPixmap(QPixmap::fromImage(BitmapStretcher()(area.size(), image)));
    picture.resize(picture.pixmap().size());
    CenterOver(picture, area);
}

void EventDlg::Pimpl::ShowDocumentDeleted()
{
    EnableDocumentControls(false);
    auto& message = Item<QLabel>(kThumbnail);
    ShowWhole(message, LoadString(kDocumentDeletedString));
    CenterOver(message, Item(kThumbnailArea));
}

// Close moves up below the details, and the dialog shrinks by what was removed.
void EventDlg::Pimpl::HideDocumentArea()
{
    Item(kThumbnailArea).hide();
    Item(kThumbnail).hide();
    for (int id : kDocumentControls)
        Item(id).hide();
    QWidget& details = Item(kDetailsFrame);
    const int removed = Bottom(details) - Item(kThumbnailArea).y();
    details.resize(details.width(), details.height() - removed);
    QWidget& close = Item(kClose);
    close.move(close.x(), close.y() - removed);
    dialog.setFixedSize(dialog.width(), dialog.height() - removed);
    EnableDocumentControls(false);
}

void EventDlg::Pimpl::EnableDocumentControls(bool enable)
{
    for (int id : kDocumentControls)
        Item(id).setEnabled(enable);
}

void EventDlg::Pimpl::RunOnMachine(const std::function<void(const IS::InformationServer&)>& request) const
{
    IS::InformationServer server(event.GetMFP());
    server.SetMarkRead(markRead);
    RunInBackground([&] { request(server); });
}

void EventDlg::Pimpl::OnPrint()
{
    try {
        RunOnMachine([this](const IS::InformationServer& server) {
            server.PrintDocument(event.GetUser(), DocumentId(), IS::GetTimeout(IS::RequestKind::Print));
        });
    } catch (const HTTP::Error&) {
        Message::FileAccessFailed();
    }
}

// The event stays in the entry's log: only the machine's document goes.
void EventDlg::Pimpl::OnDelete()
{
    if (confirmDelete && !Message::Affirmation(kDeleteQuestionString))
        return;
    try {
        RunOnMachine([this](const IS::InformationServer& server) {
            server.DeleteDocument(event.GetUser(), DocumentId(), IS::GetTimeout(IS::RequestKind::Delete));
        });
    } catch (const HTTP::NoAuthority&) {
        Message::NoDeleteAuthority();
        return;
    } catch (const HTTP::Error&) {
        Message::FileAccessFailed();
        return;
    }
    dialog.accept();
}

void EventDlg::Pimpl::OnLogin()
{
    IS::InformationServer(event.GetMFP()).OpenPage(event.GetUser(), IS::PageMode::Login);
}

void EventDlg::Pimpl::OnEventLogViewer()
{
    logViewerRequested = true;
    Q_EMIT dialog.EventLogViewerRequested();
    dialog.reject();
}

EventDlg::EventDlg(const MachineEvent::Event& event)
    : pimpl_(boost::make_shared<Pimpl>(*this, event))
{
    // Modal only to the window it is opened over (the event log viewer); a
    // pop-up has none, so the tray and the other windows stay usable.
    setWindowModality(Qt::WindowModal);
    BuildDialog(*this, kTemplate);
    pimpl_->ConnectHandlers();
}

EventDlg::EventDlg(const MachineEvent::Event& event, const std::optional<QImage>& thumbnail)
    : EventDlg(event)
{
    pimpl_->thumbnailPrepared = true;
    pimpl_->thumbnail = thumbnail;
}

EventDlg::~EventDlg() = default;

// The dialog shows its own copy of the event: only the entry is read again.
void EventDlg::Bind(MonitoredEntry::EntryManager& manager, BasicID<long> entryId)
{
    pimpl_->manager = &manager;
    pimpl_->entryId = entryId;
}

bool EventDlg::IsEventLogViewerRequested() const
{
    return pimpl_->logViewerRequested;
}

int EventDlg::GetPopupTime() const
{
    return pimpl_->popupTime;
}

bool EventDlg::IsActionRunning() const
{
    return pimpl_->actionsRunning > 0;
}

void EventDlg::OnInitDialog()
{
    SetWindowIcon(*this);
    pimpl_->ShowEvent();
    pimpl_->ReadEntrySettings();
    if (!pimpl_->HasDocument())
        pimpl_->HideDocumentArea();
    else if (pimpl_->thumbnailPrepared)
        pimpl_->ShowThumbnail();
    else
        pimpl_->StartThumbnail();
}

void EventDlg::showEvent(QShowEvent* event)
{
    // Once, before the window appears, so that it appears in its final size.
    if (!pimpl_->initialised && !event->spontaneous()) {
        pimpl_->initialised = true;
        RunGuarded(this, [this] { OnInitDialog(); });
    }
    QDialog::showEvent(event);
}

std::optional<QImage> FetchThumbnail(const IS::InformationServer& server, const MachineEvent::Event& event)
{
    const boost::optional<std::wstring>& address = event.GetProperty().GetThumbNailURL();
    if (!address)
        return QImage();
    std::unique_ptr<IS::MemoryImage> image;
    try {
        image = IS::GetThumbnail(server, *address, event.GetUser());
    } catch (const HTTP::Error&) {
        return std::nullopt;
    }
    try {
        return image->GetBitmap();
    } catch (const SystemError&) {
        // Bytes that are no picture, or too large a one.
        return QImage();
    }
}

} // namespace UI
