#pragma once

#include "Clock.h"

#include <QString>

#include <atomic>

namespace qvr {

class Host;

// Counts how many passes of a fixed mix of floating-point work and small file operations the
// machine completes in `measurement` (300 ms), averaged over five measurements; answers the
// score, at least 1. `folder` (with trailing separator) takes the probe's scratch files. Shows
// the busy cursor of `host` while it runs.
int MeasurePCSpeed(const QString& folder, Host& host, Milliseconds measurement = Milliseconds(300),
                   const Clock& clock = steadyClock());
// The same without a cursor, for a thread other than the window's; gives up between two passes
// once `stop` is set (the score then means nothing).
int MeasurePCSpeedQuietly(const QString& folder, const std::atomic<bool>* stop = nullptr,
                          Milliseconds measurement = Milliseconds(300),
                          const Clock& clock = steadyClock());

}  // namespace qvr
