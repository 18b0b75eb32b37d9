#ifndef NOCTAVI_UI_POPUPEVENTDLG_H
#define NOCTAVI_UI_POPUPEVENTDLG_H

#include <Noctavi/UI/EventDlg.h>

#include <boost/shared_ptr.hpp>

namespace UI {

// The event details dialog that announces a new event: at the bottom-right
// corner of the work area, above other windows, shown without taking the
// keyboard from what the user is typing in, and modal to nothing. It closes
// itself (Rejected, so the event stays unread) once the entry's pop-up time
// has passed, unless that time is 0 or the mouse has moved over it: the
// first movement stops the timer for good. The time never cuts one of the
// pop-up's own actions short: the action's outcome decides, and only an
// action that leaves the pop-up open lets a time run out meanwhile close it.
class PopupEventDlg : public EventDlg {
    Q_OBJECT

public:
    // With the thumbnail prepared off the GUI thread (FetchThumbnail).
    PopupEventDlg(const MachineEvent::Event& event, const std::optional<QImage>& thumbnail);
    ~PopupEventDlg() override;

protected:
    void OnInitDialog() override;
    void OnActionEnded() override;
    bool event(QEvent* event) override;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
