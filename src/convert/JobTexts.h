#pragma once

#include "RunView.h"

#include <QString>

namespace qvr {

class ProgramTexts;

// The status a row shows once its job has ended without output, in the language of the run:
// "Failed: disk full", "Timed out", "Aborted". `failedText` is the word for a failure.
QString RowStatusText(const ProgramTexts& texts, const JobResult& result,
                      const QString& failedText);
// The status of a converted row: "Done", or "Done (tags not copied)" in the run's language.
QString ConvertedStatusText(const ProgramTexts& texts, const JobResult& result,
                            const QString& doneText);

// The message at the end of a run that was not aborted: how many files were converted and how
// many were not, or the plain "finished" text when none failed.
QString RunEndText(const ProgramTexts& texts, int converted, int notConverted);

// "The copies are in: FOLDER" in the language of the run, the folder as the system writes it.
QString RunFolderText(const ProgramTexts& texts, const QString& folder);
// The caption of the button that opens a folder of copies: "Open folder".
inline constexpr int kOpenFolderText = 10021;
// "Unable to open the output folder. The copies are in: FOLDER".
QString UnopenedFolderText(const ProgramTexts& texts, const QString& folder);

// "This file cannot be converted. Supported are MP3, ... and M4A." in the language of the run,
// naming every kind the program converts.
QString UnsupportedFileText(const ProgramTexts& texts);

}  // namespace qvr
