#include <Noctavi/UI/PopupEventDlg.h>

#include <Noctavi/UI/WindowPlacement.h>

#include <boost/make_shared.hpp>

#include <QEvent>
#include <QTimer>

namespace UI {

struct PopupEventDlg::Pimpl {
    explicit Pimpl(PopupEventDlg& popup)
        : dialog(popup)
    {
    }

    PopupEventDlg& dialog;
    QTimer closeTimer;
    // The frame's size when the window was last put at the corner.
    QSize placedFrame;
    // The time ran out while an action of the pop-up ran.
    bool timeUp = false;

    void PlaceAtCorner()
    {
        MoveToWorkAreaCorner(dialog);
        placedFrame = dialog.frameGeometry().size();
    }
};

PopupEventDlg::PopupEventDlg(const MachineEvent::Event& event, const std::optional<QImage>& thumbnail)
    : EventDlg(event, thumbnail)
    , pimpl_(boost::make_shared<Pimpl>(*this))
{
    // Modal to nothing: the tray, the settings and the event log viewer stay
    // usable while it is open.
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Hover moves reach the dialog from over any of its controls too.
    setAttribute(Qt::WA_Hover);
    pimpl_->closeTimer.setSingleShot(true);
    // A coarse timer may fire 5% early.
    pimpl_->closeTimer.setTimerType(Qt::PreciseTimer);
    connect(&pimpl_->closeTimer, &QTimer::timeout, this, [this] {
        if (IsActionRunning())
            pimpl_->timeUp = true;
        else
            reject();
    });
}

PopupEventDlg::~PopupEventDlg() = default;

void PopupEventDlg::OnInitDialog()
{
    EventDlg::OnInitDialog();
    pimpl_->PlaceAtCorner();
    if (GetPopupTime() > 0)
        pimpl_->closeTimer.start(GetPopupTime());
}

void PopupEventDlg::OnActionEnded()
{
    if (pimpl_->timeUp)
        reject();
}

bool PopupEventDlg::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverMove:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
        pimpl_->closeTimer.stop();
        break;
    case QEvent::Move:
        // An X11 window manager frames the window only after it is shown, so
        // the first placement cannot count the frame. The user moving the
        // window changes no size, and it stays where the user put it.
        if (pimpl_->placedFrame.isValid() && frameGeometry().size() != pimpl_->placedFrame)
            pimpl_->PlaceAtCorner();
        break;
    default:
        break;
    }
    return EventDlg::event(event);
}

} // namespace UI
