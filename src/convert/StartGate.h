#pragma once

#include <QObject>

namespace qvr {

// Lets one tool start in each turn of the event loop. Starting a tool holds this thread until the
// system runs it, which on a busy machine takes tens of milliseconds; jobs whose tools end
// together would otherwise start their next tools in one turn and hold the window that long.
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
