#include <Noctavi/UI/PopupEventDlg.h>

#include <Noctavi/UI/WindowPlacement.h>

#include <boost/make_shared.hpp>

#include <QEvent>
#include <QTimer>

namespace UI {

struct PopupEventDlg::Pimpl {
    QTimer closeTimer;
};

PopupEventDlg::PopupEventDlg(const MachineEvent::Event& event, const QImage& thumbnail)
    : EventDlg(event, thumbnail)
    , pimpl_(boost::make_shared<Pimpl>())
{
    // Modal to nothing: the tray, the settings and the event log viewer stay
    // usable while it is open.
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Hover moves reach the dialog from over any of its controls too.
    setAttribute(Qt::WA_Hover);
    pimpl_->closeTimer.setSingleShot(true);
    connect(&pimpl_->closeTimer, &QTimer::timeout, this, &QDialog::reject);
}

PopupEventDlg::~PopupEventDlg() = default;

void PopupEventDlg::OnInitDialog()
{
    EventDlg::OnInitDialog();
    MoveToWorkAreaCorner(*this);
    if (GetPopupTime() > 0)
        pimpl_->closeTimer.start(GetPopupTime());
}

bool PopupEventDlg::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverMove:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
        pimpl_->closeTimer.stop();
        break;
    default:
        break;
    }
    return EventDlg::event(event);
}

} // namespace UI
