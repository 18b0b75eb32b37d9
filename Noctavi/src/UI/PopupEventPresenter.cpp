#include <Noctavi/UI/PopupEventPresenter.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/UI/EventHandover.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/WaitCursor.h>

#include <boost/make_shared.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QThread>

#include <memory>
#include <optional>
#include <vector>

namespace UI {

namespace {

using MachineEvent::PopupOutcome;

// One pop-up passed from the manager's thread, which waits for its outcome,
// to the GUI thread, which shows it and ends it.
class Handover {
public:
    // The manager gave up waiting: the pop-up is not to appear, or to stay.
    // True when it may still be open.
    bool Abandon()
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        abandoned_ = true;
        return !outcome_;
    }

    bool IsAbandoned() const
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        return abandoned_;
    }

    // The first outcome counts.
    void End(PopupOutcome outcome)
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        if (outcome_)
            return;
        outcome_ = outcome;
        ended_.notify_all();
    }

    // Interruptible.
    PopupOutcome Wait()
    {
        boost::unique_lock<boost::mutex> lock(mutex_);
        ended_.wait(lock, [this] { return outcome_.has_value(); });
        return *outcome_;
    }

private:
    mutable boost::mutex mutex_;
    boost::condition_variable ended_;
    std::optional<PopupOutcome> outcome_;
    bool abandoned_ = false;
};

// Fetched on the manager's thread, so that the GUI thread never waits on the
// machine; none shows the document as gone.
std::optional<QImage> PrepareThumbnail(const MachineEvent::Event& event)
{
    if (!event.GetProperty().GetThumbNailURL())
        return QImage();
    try {
        return FetchThumbnail(IS::InformationServer(event.GetMFP()), event);
    } catch (const HTTP::Error&) {
        return std::nullopt;
    }
}

// A call handed from the manager's thread to the GUI thread.
class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call)
        : QEvent(Type())
        , call_(std::move(call))
    {
    }

    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    void Run() const { call_(); }

private:
    std::function<void()> call_;
};

PopupOutcome OutcomeOf(const PopupEventDlg& popup, int result)
{
    if (result == QDialog::Accepted)
        return PopupOutcome::Accepted;
    return popup.IsEventLogViewerRequested() ? PopupOutcome::EventLogViewer : PopupOutcome::Dismissed;
}

} // namespace

struct PopupEventPresenter::Pimpl {
    Pimpl(PopupEventPresenter& self, MonitoredEntry::EntryManager& model)
        : presenter(self)
        , manager(model)
    {
    }

    PopupEventPresenter& presenter;
    MonitoredEntry::EntryManager& manager;

    // Touched on the GUI thread only.
    std::unique_ptr<PopupEventDlg> popup;
    std::shared_ptr<Handover> shown;
    // Replaced pop-ups that may still run one of their actions.
    std::vector<std::unique_ptr<PopupEventDlg>> retired;
    EventHandover posting;

    void Open(const std::shared_ptr<Handover>& handover, const MachineEvent::Event& event, const std::optional<QImage>& thumbnail,
              BasicID<long> entryID);
    void Show(const std::shared_ptr<Handover>& handover, const MachineEvent::Event& event, const std::optional<QImage>& thumbnail,
              BasicID<long> entryID);
    void Replace(std::unique_ptr<PopupEventDlg> next);
    void CloseFor(const std::shared_ptr<Handover>& handover);
    void CloseOpen();
};

void PopupEventPresenter::Pimpl::Open(const std::shared_ptr<Handover>& handover, const MachineEvent::Event& event,
                                      const std::optional<QImage>& thumbnail, BasicID<long> entryID)
{
    if (handover->IsAbandoned())
        return;
    shown = handover;
    // A pop-up that cannot be built is reported, and its event stays unread.
    if (!RunGuarded(nullptr, [&] { Show(handover, event, thumbnail, entryID); }))
        handover->End(PopupOutcome::Dismissed);
}

void PopupEventPresenter::Pimpl::Show(const std::shared_ptr<Handover>& handover, const MachineEvent::Event& event,
                                      const std::optional<QImage>& thumbnail, BasicID<long> entryID)
{
    Replace(std::make_unique<PopupEventDlg>(event, thumbnail));
    PopupEventDlg* dialog = popup.get();
    dialog->Bind(manager, entryID);
    connect(dialog, &QDialog::finished, &presenter,
            [handover, dialog](int result) { handover->End(OutcomeOf(*dialog, result)); });
    connect(dialog, &EventDlg::EventLogViewerRequested, &presenter, &PopupEventPresenter::EventLogViewerRequested);
    dialog->show();
}

// A pop-up ended by its timer or its close box may still be inside one of its
// actions, waiting in a local event loop on its machine, a box or the save
// chooser: it is deleted only once no such wait is left.
void PopupEventPresenter::Pimpl::Replace(std::unique_ptr<PopupEventDlg> next)
{
    if (popup)
        retired.push_back(std::move(popup));
    popup = std::move(next);
    if (!WaitCursor::IsHeld() && !QApplication::activeModalWidget())
        retired.clear();
}

// Queued after the call that may have opened it, so it finds that pop-up.
void PopupEventPresenter::Pimpl::CloseFor(const std::shared_ptr<Handover>& handover)
{
    if (shown == handover)
        CloseOpen();
}

void PopupEventPresenter::Pimpl::CloseOpen()
{
    if (popup && popup->isVisible())
        popup->reject();
}

PopupEventPresenter::PopupEventPresenter(MonitoredEntry::EntryManager& manager)
    : pimpl_(boost::make_shared<Pimpl>(*this, manager))
{
}

PopupEventPresenter::~PopupEventPresenter() = default;

PopupOutcome PopupEventPresenter::Present(const MachineEvent::Event& event, BasicID<long> entryID)
{
    const std::optional<QImage> thumbnail = PrepareThumbnail(event);
    const auto handover = std::make_shared<Handover>();
    Pimpl* const self = pimpl_.get();
    const auto open = [self, handover, event, thumbnail, entryID] {
        self->Open(handover, event, thumbnail, entryID);
    };
    Post(open);
    try {
        return handover->Wait();
    } catch (...) {
        if (handover->Abandon())
            Post([self, handover] { self->CloseFor(handover); });
        throw;
    }
}

void PopupEventPresenter::Dismiss()
{
    if (QThread::currentThread() == thread())
        return pimpl_->CloseOpen();
    Pimpl* const self = pimpl_.get();
    Post([self] { self->CloseOpen(); });
}

void PopupEventPresenter::Post(std::function<void()> call)
{
    pimpl_->posting.Post(*this, new CallEvent(std::move(call)));
}

bool PopupEventPresenter::event(QEvent* event)
{
    pimpl_->posting.Received();
    if (event->type() != CallEvent::Type())
        return QObject::event(event);
    static_cast<const CallEvent*>(event)->Run();
    return true;
}

PopupEventDlg* PopupEventPresenter::GetOpenPopup() const
{
    return pimpl_->popup && pimpl_->popup->isVisible() ? pimpl_->popup.get() : nullptr;
}

} // namespace UI
