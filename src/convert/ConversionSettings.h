#pragma once

#include "CdAlbum.h"
#include "Estimate.h"
#include "Frequencies.h"
#include "ProgramPaths.h"

#include <QString>

namespace qvr {

// A ripped CD being converted: its tracks are in `folder`, and become MP3 files with `tags` in
// that folder's "{N} Hz" subfolder.
struct CdRun {
    QString folder;
    CdAlbum tags;
};

// How the engine converts: handed to it once, before a run (see ConversionEngine::configure).
struct ConversionSettings {
    ProgramPaths paths;
    FrequencyState frequency;
    int pcSpeed = kReferenceSpeed;  // the machine's speed score; scales the time limits
    int jobs = 1;                   // files converted side by side
    // Pace the steps with fixed pauses and watch the stretch grow, instead of going on as soon as
    // each tool has ended and its output has passed its check. No front end asks for it: the
    // tools are watched and their outputs checked.
    bool designPauses = false;
    // Rows whose output is already there, tuned alike and newer than the source, are kept.
    bool resume = false;
};

// Who runs the conversion: the window or the batch. Both run `jobs` files side by side, each
// step as soon as its tool has ended and its output has passed its check.
enum class RunStyle { Window, Batch };

// The settings every front end (and the tests) start from: the user's folders, the default
// target (432 Hz), the jobs. The caller changes what it knows better.
ConversionSettings StartingSettings(const ProgramPaths& paths, RunStyle style, int jobs = 1);

}  // namespace qvr
