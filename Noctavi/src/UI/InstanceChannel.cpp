#include <Noctavi/UI/InstanceChannel.h>

#include <Noctavi/System/RuntimeFolder.h>
#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>

#include <boost/make_shared.hpp>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <cerrno>
#include <vector>

namespace UI {

namespace {

const QByteArray kActivate = "ACTIVATE";
const QByteArray kClose = "CLOSE";
const QByteArray kAnswer = "OK\n";
// A command is one short line; a client that sends more is cut off.
constexpr qint64 kLongestLine = 64;
constexpr int kConnectTimeoutMs = 2000;
constexpr int kActivateTimeoutMs = 5000;

void Answer(QLocalSocket& socket)
{
    socket.write(kAnswer);
    socket.flush();
    socket.disconnectFromServer();
}

} // namespace

struct InstanceChannel::Pimpl {
    explicit Pimpl(InstanceChannel& owner)
        : owner(owner)
    {
        server.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server, &QLocalServer::newConnection, &owner, [this] { TakeConnections(); });
    }

    void TakeConnections()
    {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, &owner, [this, socket] { Read(*socket); });
            if (socket->bytesAvailable() > 0)
                Read(*socket);
        }
    }

    void Read(QLocalSocket& socket)
    {
        if (!socket.canReadLine()) {
            if (socket.bytesAvailable() > kLongestLine)
                socket.abort();
            return;
        }
        const QByteArray command = socket.readLine(kLongestLine).trimmed();
        if (command == kActivate) {
            Answer(socket);
            Q_EMIT owner.ActivateRequested();
        } else if (command == kClose) {
            closeWaiters.emplace_back(&socket);
            Q_EMIT owner.CloseRequested();
        } else {
            socket.abort();
        }
    }

    InstanceChannel& owner;
    QLocalServer server;
    std::vector<QPointer<QLocalSocket>> closeWaiters;
};

InstanceChannel::InstanceChannel()
    : pimpl_(boost::make_shared<Pimpl>(*this))
{
}

InstanceChannel::~InstanceChannel() = default;

void InstanceChannel::Listen()
{
    const QString path = GetPath();
    QLocalServer::removeServer(path);
    if (!pimpl_->server.listen(path))
        PELMO_THROW(SystemError(EIO));
}

void InstanceChannel::StopListening()
{
    pimpl_->server.close();
}

void InstanceChannel::AnswerClose()
{
    for (const QPointer<QLocalSocket>& socket : pimpl_->closeWaiters) {
        if (socket)
            Answer(*socket);
    }
    pimpl_->closeWaiters.clear();
}

bool InstanceChannel::Send(Command command)
{
    QLocalSocket socket;
    socket.connectToServer(GetPath());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write((command == Command::Activate ? kActivate : kClose) + '\n');
    socket.flush();
    // The answer, or the end of the connection when the instance ends first.
    const QDeadlineTimer deadline = command == Command::Activate ? QDeadlineTimer(kActivateTimeoutMs)
                                                                 : QDeadlineTimer(QDeadlineTimer::Forever);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired())
        socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    return true;
}

QString InstanceChannel::GetPath()
{
    return QString::fromStdWString(System::GetRuntimeFolder()) + QStringLiteral("HollvikNoctaviMainFrame");
}

} // namespace UI
