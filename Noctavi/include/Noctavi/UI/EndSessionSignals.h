#ifndef NOCTAVI_UI_ENDSESSIONSIGNALS_H
#define NOCTAVI_UI_ENDSESSIONSIGNALS_H

#include <QObject>

#include <boost/shared_ptr.hpp>

namespace UI {

// SIGTERM, SIGHUP and SIGINT, by which the session ends or the program is
// asked to end, brought to the GUI thread as one Qt signal: the handler only
// writes a byte to a pipe, which a socket notifier reads. One object at a
// time; it puts the previous handlers back when it goes.
class EndSessionSignals : public QObject {
    Q_OBJECT

public:
    // Throws SystemError when the pipe or a handler cannot be set up.
    EndSessionSignals();
    ~EndSessionSignals() override;

Q_SIGNALS:
    // Once for the signals that came since the last time.
    void Received();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
