#include "ActivationChannel.h"

#include "NamedMutex.h"

#include <QFileInfo>
#include <QLocalSocket>

namespace qvr {
namespace {

const QByteArray kActivate = "activate\n";

}  // namespace

ActivationChannel::ActivationChannel(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &ActivationChannel::takeCall);
}

QString ActivationChannel::socketPath(const QString& name)
{
    return QFileInfo(NamedMutex::lockFilePath(name)).path() + u'/' + name +
           QStringLiteral(".socket");
}

bool ActivationChannel::listen()
{
    const QString path = socketPath(name_);
    QLocalServer::removeServer(path);
    return server_.listen(path);
}

void ActivationChannel::takeCall()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().startsWith(kActivate.trimmed())) {
                emit activationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

bool ActivationChannel::callRunning(const QString& name, int limitMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(name));
    if (!socket.waitForConnected(limitMs)) {
        return false;
    }
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(limitMs);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace qvr
