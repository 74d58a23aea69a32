#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace qvr::test {

// Polls `done` until it answers true or `limitMs` have passed; for what another process does,
// which no clock of the test drives.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

// Handles the events of this thread until `done` answers true or `limitMs` have passed; for work
// driven by signals and timers.
inline bool waitForEvents(const std::function<bool()>& done, int limitMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace qvr::test
