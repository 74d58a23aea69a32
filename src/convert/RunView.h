#pragma once

#include <QString>

#include <utility>

namespace qvr {

// Kept: a batch run that resumes left an output of the same tuning that was already there.
enum class JobOutcome { Converted, TimedOut, Failed, Aborted, Kept };

// Why a file was not converted.
enum class FailureReason {
    None,
    NotRegularFile,     // a pipe, a socket, a device or a folder
    NameTooLong,        // the output name is more than the file system holds
    ToolMissing,        // a tool could not be started
    DecoderFailed,      // the input could not be decoded completely
    StretchFailed,      // the time-stretch tool failed
    EncoderFailed,      // the encoder failed
    OutputIncomplete,   // what the tools wrote is damaged or of the wrong length or kind
    DiskFull,           // a disk ran out of room
    OutputNotWritable,  // the output folder or name cannot be written
    SourceDamaged,      // the source does not decode without errors
    OutputDamaged,      // the output decodes, but not as the source sounds (depth, channels, level)
    SourceChanged,      // the source was written to while it was converted
    NotSupportedFile,   // no audio file of a supported kind (or a link that leads nowhere)
};

// How a job ended, and where its output is.
struct JobResult {
    JobOutcome outcome = JobOutcome::Aborted;
    FailureReason reason = FailureReason::None;
    QString output;  // full path of the checked output; empty without one
    int seconds = 0;
    bool tagsCopied = true;  // a converted output carries all the tags it should
    // The source decoded cleanly but ended before its header said: converted as far as it plays.
    bool sourceIncomplete = false;
    // A file that is not an output of ours had the output's name: this one took a numbered name.
    bool nameTaken = false;

    JobResult() = default;
    JobResult(JobOutcome outcome_, FailureReason reason_ = FailureReason::None,
              QString output_ = {}, int seconds_ = 0)
        : outcome(outcome_), reason(reason_), output(std::move(output_)), seconds(seconds_)
    {
    }

    bool converted() const { return outcome == JobOutcome::Converted; }
};

// A short English word for the terminal: "converted", "failed", "timed out", "aborted", "kept".
QString OutcomeWord(JobOutcome outcome);
// A short English reason: "decoder failed", "disk full", ...; empty for None.
QString ReasonWords(FailureReason reason);
// What a converted file's line adds: "tags not copied", "source incomplete", "name taken",
// separated by "; "; empty when all went well.
QString NoteWords(const JobResult& result);

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
    virtual void jobEnded(int row, const JobResult& result) = 0;
};

}  // namespace qvr
