#pragma once

class QWidget;

namespace qvr {

// With QUORVANE_STARTUP_REPORT=1 the program prints the time from its start to the shown
// window on standard error and ends: the start-up benchmark.
void ReportStartupWhenAsked(QWidget& shownWindow);

}  // namespace qvr
