#include "StartupReport.h"

#include "platform/ProcessTimes.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace qvr {

void ReportStartupWhenAsked(QWidget& shownWindow)
{
    if (qgetenv("QUORVANE_STARTUP_REPORT") != "1") {
        return;
    }
    // The first turn of the event loop: the window has been shown and painted once.
    QTimer::singleShot(0, &shownWindow, [] {
        std::fprintf(stderr, "window shown after %.3f s\n", SecondsSinceProcessStart());
        QCoreApplication::quit();
    });
}

}  // namespace qvr
