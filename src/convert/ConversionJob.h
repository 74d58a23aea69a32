#pragma once

#include "AudioCheck.h"
#include "ConversionState.h"
#include "JobWaits.h"
#include "OutputCheck.h"
#include "OutputNames.h"
#include "RunView.h"
#include "ToolCommands.h"

#include <QTimer>

#include <optional>

namespace qvr {

class FileListModel;

// Turns one row of the list into one re-tuned file: decode into the work WAV, stretch through
// the batch file, watch the work folder, encode into the output folder. Every file a tool writes
// is checked before the next step uses it; the output is written under a temporary name and
// takes its own name only once it has passed its check and carries its tags, so a failed job
// leaves nothing half-written and an earlier output as it was.
class ConversionJob {
  public:
    // A file whose stretch fails this often ends without output.
    static constexpr int kMaxTries = 3;

    ConversionJob(ConversionState& state, FileListModel& files, RunView& view,
                  QTimer& progressTimer, const Clock& clock, ToolProcesses& processes);

    JobResult convert(const QString& source, int row);

  private:
    enum class Watch { StretchStarted, Retry, TimedOut, Aborted, StretchEnded };
    // A job step's failure, or nothing when the step went well.
    using Failure = std::optional<JobResult>;

    Failure prepare(const QString& source, int row);
    Failure runTries(const QString& source, int row);
    void startTry(const QString& source);
    void deleteWorkFiles();
    Failure decode(const QString& source, int row);
    bool startStretch();
    Watch watch();
    Milliseconds tryDeadline() const;
    Milliseconds stepDeadline() const;
    Failure waitForStretch();
    bool stretchEnded();
    Failure stretchFailure();
    Failure checkStretch();
    Failure encode(const QString& source, int row);
    Failure publish();
    Failure checkFile(const QString& path, const Expectation& expected, AudioFacts& facts,
                      FailureReason reason, Milliseconds alongside = Milliseconds(0));
    JobResult finishConverted(int row);
    JobResult endWithoutOutput(int row, JobResult result);
    Failure stepFailure(const StepResult& step, FailureReason reason, const QString& folder);
    static JobResult failure(FailureReason reason);
    QString workFile(const char* name) const;

    ConversionState& state_;
    FileListModel& files_;
    RunView& view_;
    QTimer& progressTimer_;
    const Clock& clock_;
    ToolProcesses& processes_;
    JobWaits waits_;
    ToolRunner tools_;
    OutputNames outputNames_;
    pid_t stretch_ = -1;
    ToolStatus stretchStatus_;

    // The file in progress.
    AudioFacts source_;
    AudioFacts input_;
    AudioFacts stretched_;
    QString target_;       // the output's own name
    QString temporary_;    // where the encoder writes it first
    bool tagged_ = false;  // the output carries all the tags it should
};

}  // namespace qvr
