#pragma once

#include "Clock.h"

#include <QString>

namespace qvr {

// Folder for the probe's scratch files, with trailing separator; set just before the probe.
extern QString SpeedProbeFolder;
// Result of the last probe; at least 1 once a probe has run.
extern int PCSpeedResult;

// Counts how many passes of a fixed mix of floating-point work and small file operations the
// machine completes in `measurement` (300 ms), averaged over five measurements; stores and
// answers the score. Shows the busy cursor while it runs.
int MeasurePCSpeed(Milliseconds measurement = Milliseconds(300),
                   const Clock& clock = steadyClock());

}  // namespace qvr
