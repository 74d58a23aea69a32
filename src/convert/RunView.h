#pragma once

#include <QString>

namespace qvr {

enum class JobOutcome { Converted, TimedOut, Failed, Aborted };

// What a batch run needs from the front end that shows it: the window locks its controls and
// blinks its note, the command line prints lines.
class RunView {
  public:
    virtual ~RunView() = default;

    // A frequency has been chosen for the run.
    virtual bool frequencyChosen() const = 0;
    // Locks (running) or unlocks the controls that could change the list or start another run.
    virtual void lockControls(bool running) = 0;
    // Shows the run counter ("3 / 5 files"); hideRunCount takes it away after the run.
    virtual void showRunCount(const QString& text) = 0;
    virtual void hideRunCount() = 0;
    virtual void toggleConvertingNote() = 0;
    virtual void hideConvertingNote() = 0;
    // The error count text; shown only when visible is true.
    virtual void showErrorText(const QString& text, bool visible) = 0;
    // The row being converted is selected and brought into view.
    virtual void showCurrentRow(int row) = 0;
    // A job has ended, with or without output.
    virtual void jobEnded(int row, JobOutcome outcome) = 0;
};

}  // namespace qvr
