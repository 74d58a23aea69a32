#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace qvr {

// How a second start of the program asks the running copy to come to the front and hands it the
// paths it was started with: a local socket beside the single-instance lock of the same name, on
// which the running copy listens.
class ActivationChannel : public QObject {
    Q_OBJECT

  public:
    explicit ActivationChannel(QString name, QObject* parent = nullptr);

    // The running copy listens; a socket left by a copy that died is replaced. False when it
    // cannot listen.
    bool listen();
    // A second copy asks the running one to come forward and take `paths` (absolute); false when
    // none listens. Waits at most `limitMs` for the socket.
    static bool callRunning(const QString& name, const QStringList& paths = {}, int limitMs = 1000);
    // Where the socket of a name is.
    static QString socketPath(const QString& name);

  signals:
    // A second start called; `paths` are those it was started with, perhaps none.
    void activationRequested(const QStringList& paths);

  private:
    void takeCall();
    void readCall(QLocalSocket& socket, QByteArray& received);

    QString name_;
    QLocalServer server_;
};

}  // namespace qvr
