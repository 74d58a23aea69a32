#pragma once

#include "platform/Clock.h"

#include <QString>
#include <QStringList>

namespace qvr {

// A length of time as a terminal shows it: "0:07", "12:30", "1:02:03".
QString ClockText(Milliseconds time);

// The one line a terminal shows for a whole batch run: the files done of all, the time so far,
// an estimate of the time left (from the pace so far, once a file is done) and the names of the
// files being converted now, cut to `width` characters.
QString BatchProgressLine(int done, int total, const QStringList& running, Milliseconds elapsed,
                          int width);

}  // namespace qvr
