#include "ActivationChannel.h"

#include "NamedMutex.h"

#include <QDataStream>
#include <QFileInfo>
#include <QLocalSocket>

#include <memory>

namespace qvr {
namespace {

// A call is the word, the number of paths and the paths, in Qt's stream format: it carries any
// name, also one with a line break or bytes that are not UTF-8, unchanged. A call larger than
// a command line can be is dropped rather than buffered without end.
const QString kActivate = QStringLiteral("activate");
constexpr auto kStreamVersion = QDataStream::Qt_6_0;
constexpr qsizetype kLargestCall = 16 * 1024 * 1024;

enum class CallState { Incomplete, Complete, Invalid };

CallState stateOf(const QDataStream& stream)
{
    switch (stream.status()) {
        case QDataStream::Ok: return CallState::Complete;
        case QDataStream::ReadPastEnd: return CallState::Incomplete;
        default: return CallState::Invalid;
    }
}

CallState parseCall(const QByteArray& bytes, QStringList& paths)
{
    QDataStream stream(bytes);
    stream.setVersion(kStreamVersion);
    QString word;
    quint32 count = 0;
    stream >> word >> count;
    if (stateOf(stream) != CallState::Complete) {
        return stateOf(stream);
    }
    if (word != kActivate) {
        return CallState::Invalid;
    }
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString path;
        stream >> path;
        paths << path;
    }
    return stateOf(stream);
}

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
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, received] { readCall(*socket, *received); });
    }
}

// The call may come in pieces: it is taken once it is complete.
void ActivationChannel::readCall(QLocalSocket& socket, QByteArray& received)
{
    received += socket.readAll();
    QStringList paths;
    const CallState state = parseCall(received, paths);
    if (state == CallState::Incomplete && received.size() <= kLargestCall) {
        return;
    }
    socket.disconnectFromServer();
    if (state == CallState::Complete) {
        emit activationRequested(paths);
    }
}

bool ActivationChannel::callRunning(const QString& name, const QStringList& paths, int limitMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(name));
    if (!socket.waitForConnected(limitMs)) {
        return false;
    }
    QDataStream stream(&socket);
    stream.setVersion(kStreamVersion);
    stream << kActivate << static_cast<quint32>(paths.size());
    for (const QString& path : paths) {
        stream << path;
    }
    const bool sent = socket.waitForBytesWritten(limitMs);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace qvr
