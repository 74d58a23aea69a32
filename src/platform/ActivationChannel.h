#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace qvr {

// How a second start of the program asks the running copy to come to the front: a local socket
// beside the single-instance lock of the same name, on which the running copy listens.
class ActivationChannel : public QObject {
    Q_OBJECT

  public:
    explicit ActivationChannel(QString name, QObject* parent = nullptr);

    // The running copy listens; a socket left by a copy that died is replaced. False when it
    // cannot listen.
    bool listen();
    // A second copy asks the running one to come forward; false when none listens. Waits at most
    // `limitMs` for the answer of the socket.
    static bool callRunning(const QString& name, int limitMs = 1000);
    // Where the socket of a name is.
    static QString socketPath(const QString& name);

  signals:
    void activationRequested();

  private:
    void takeCall();

    QString name_;
    QLocalServer server_;
};

}  // namespace qvr
