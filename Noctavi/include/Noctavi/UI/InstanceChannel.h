#ifndef NOCTAVI_UI_INSTANCECHANNEL_H
#define NOCTAVI_UI_INSTANCECHANNEL_H

#include <QObject>
#include <QString>

#include <boost/shared_ptr.hpp>

namespace UI {

// How another process reaches the running instance: a local socket,
// "HollvikNoctaviMainFrame" in the runtime folder and open to the user
// alone, that takes one command a connection. ACTIVATE is answered at once;
// CLOSE once the instance has let go of its single-instance lock
// (AnswerClose). GUI thread only.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    enum class Command { Activate, Close };

    InstanceChannel();
    ~InstanceChannel() override;

    // Starts taking commands. A socket that an instance which died left
    // behind is replaced, so call it only while holding the lock. Throws
    // SystemError when the socket cannot be made.
    void Listen();
    // Takes no more connections; those open stay open.
    void StopListening();
    // Answers every CLOSE received so far.
    void AnswerClose();

    // Gives the running instance a command and waits for its answer or for
    // its end: for a CLOSE as long as that takes, for an ACTIVATE a few
    // seconds at most. False when no instance takes the connection.
    static bool Send(Command command);

    static QString GetPath();

Q_SIGNALS:
    void ActivateRequested();
    void CloseRequested();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
