#pragma once

#include "CdAlbum.h"
#include "Frequencies.h"
#include "platform/Clock.h"

#include <QString>

namespace qvr {

// What the conversion engine knows of the program and of the run in progress.
struct ConversionState {
    // Fixed at start-up.
    QString WorkFolder;       // tools and work files, trailing separator
    QString DocumentsFolder;  // parent of the output tree, trailing separator
    QString ProgramOutputFolder;
    int PcSpeed = 20;
    QString DoneStatusText;    // status of a converted row
    QString FailedStatusText;  // status of a row that ended without output

    // Chosen by the user.
    FrequencyState Frequency;
    bool CdMode = false;
    QString CdFolder;
    CdAlbum CdTags;

    // The run in progress.
    int ErrorCount = 0;  // failed tries of the stretch
    // Time the run waited for the checks of what the tools wrote, beyond the pauses.
    Milliseconds CheckWaitTime{0};
    bool AbortRequested = false;
    int CurrentRow = -1;  // the row the window shows as the one being converted
    bool Idle = true;
    QString RunTotalText;
    QString RunDoneText;
};

}  // namespace qvr
