#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace qvr::test {

// Asks `done` until it answers true or `limitMs` have passed, doing `between` in between.
inline bool pollUntil(const std::function<bool()>& done, int limitMs,
                      const std::function<void()>& between)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        between();
    }
    return true;
}

// Polls `done` until it answers true or `limitMs` have passed; for what another process does,
// which no clock of the test drives.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    return pollUntil(done, limitMs, [] { QThread::msleep(5); });
}

// Handles the events of this thread until `done` answers true or `limitMs` have passed; for work
// driven by signals and timers.
inline bool waitForEvents(const std::function<bool()>& done, int limitMs = 20000)
{
    return pollUntil(done, limitMs,
                     [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
}

}  // namespace qvr::test
