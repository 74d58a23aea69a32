#include "EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace qvr {

void processQtEvents(int maxWaitMs)
{
    if (QCoreApplication::instance() == nullptr) {
        if (maxWaitMs > 0) {
            QThread::msleep(static_cast<unsigned long>(maxWaitMs));
        }
        return;
    }
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer bounds the wait: it is an event of its own.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace qvr
