#pragma once

#include <QObject>

namespace qvr {

// Lets one tool start in each turn of the event loop, so jobs whose tools end together start
// their next tools one after the other. (Starting a tool no longer holds this thread: the
// launcher's thread waits for the system to run it.)
class StartGate : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // True, and closed until the next turn, when no tool has started in this turn yet.
    bool tryTake()
    {
        if (taken_) {
            return false;
        }
        taken_ = true;
        QMetaObject::invokeMethod(this, &StartGate::reopen, Qt::QueuedConnection);
        return true;
    }

  signals:
    void opened();

  private:
    void reopen()
    {
        taken_ = false;
        emit opened();
    }

    bool taken_ = false;
};

}  // namespace qvr
