#pragma once

#include "FileListModel.h"

#include <QString>

namespace qvr {

class ProgramTexts;

// The status of a row whose job is in a step, in the language of the run ("MP3 nach WAV");
// English where the language has no text for it.
QString StepStatusText(const ProgramTexts& texts, const JobStep& step);

}  // namespace qvr
