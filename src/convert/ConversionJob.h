#pragma once

#include "AudioCheck.h"
#include "ConversionSettings.h"
#include "Estimate.h"
#include "FollowedDecode.h"
#include "JobWaits.h"
#include "OutputCheck.h"
#include "OutputNames.h"
#include "RunView.h"
#include "ToolCommands.h"

#include <QObject>

#include <memory>
#include <optional>

namespace qvr {

class FileListModel;

// What a run counts while it goes; the window shows the failed tries, the batch the time spent
// waiting for checks.
struct RunCounters {
    int errorCount = 0;  // failed tries of the stretch
    // Time the run waited for the checks of what the tools wrote, beyond the pauses.
    Milliseconds checkWaitTime{0};
    int outputsDecodedAsWritten = 0;  // outputs whose check was decoded beside their encoder
    bool abortRequested = false;
};

// What the jobs of one run share: the settings, the CD being converted (null outside CD mode),
// the run's counters and list, the view, the tools started, the output names taken and the
// tools already reported as missing.
struct RunShared {
    RunShared(const ConversionSettings& settings_, const CdRun* cd_, RunCounters& counters_,
              FileListModel& files_, RunView& view_, const Clock& clock_, ToolProcesses& processes_,
              Host& host_);

    const ConversionSettings& settings;
    const CdRun* cd;
    RunCounters& counters;
    FileListModel& files;
    RunView& view;
    const Clock& clock;
    ToolProcesses& processes;
    Host& host;
    OutputNames outputNames;
    QStringList reportedTools;
    // When a job last found the work folders' disk full; jobs side by side share that disk, and
    // one that fails a little later may find the room freed by the first one's clean-up.
    std::optional<Milliseconds> workDiskFullAt;
};

// Turns one row of the list into one re-tuned file: decode into the work WAV, stretch through
// the batch file, watch the work folder, encode into the output folder. Every file a tool writes
// is checked before the next step uses it; the output is written under a temporary name and
// takes its own name only once it has passed its check and carries its tags, so a failed job
// leaves nothing half-written and an earlier output as it was.
//
// The job never blocks: each step starts a tool, a copy or a check and goes on when it answers.
// It works in a work folder of its own, so several jobs can run side by side. `finished`
// reports the end of every job started, with or without output.
class ConversionJob : public QObject {
    Q_OBJECT

  public:
    // A file whose stretch fails this often ends without output.
    static constexpr int kMaxTries = 3;

    ConversionJob(RunShared& run, QString workFolder, QObject* parent = nullptr);
    ~ConversionJob() override;

    void start(const QString& source, int row);
    bool busy() const { return row_ >= 0; }
    int row() const { return row_; }
    const QString& workFolder() const { return workFolder_; }
    // Something the job may be waiting for has changed (Abort was pressed): it looks again.
    void wake() { waits_.wake(); }

    // The progress of the row: one tick of the progress timer; answers the bar's value.
    int advanceProgress(Milliseconds tick)
    {
        progressValue_ = progress_.advance(int(tick.count()));
        return progressValue_;
    }
    // The row's bar has nothing left to guess: it reached its end or the stretch writes.
    bool progressSettled() const;
    // The stretch has begun to write: the progress bar stops guessing.
    bool stretchWriting() const;
    int estimateSeconds() const { return estimateSeconds_; }
    int seconds() const { return seconds_; }

  signals:
    // A try of the row began: its progress starts from zero.
    void tryStarted();
    void finished(int row, const qvr::JobResult& result);

  private:
    enum class Watch { StretchStarted, Retry, TimedOut, Aborted, StretchEnded };
    using Failure = std::optional<JobResult>;
    using Next = std::function<void()>;

    Failure prepare(const QString& source);
    QString claimOwnName(const QString& folder, const QString& name);
    static bool isForeign(const QString& path);
    void startTry();
    void runTry();
    // A resumed run keeps an output of ours only when it decodes completely at the length its
    // source gives; the check runs on threads while the job waits.
    bool mayKeepOutput() const;
    void checkKeptOutput();
    void keptOutputChecked(JobWaits::Stop stop);
    void decoded(const StepResult& step);
    void stretch();
    void watched(Watch watch);
    void watchStretch();
    void waitForStretch();
    void growthCheck(std::int64_t size);
    void stretchDone();
    void checkStretch();
    void encode();
    void encoded(const StepResult& step);
    void outputFollowed(JobWaits::Stop stop, Milliseconds waitStart);
    void tagAndCheckOutput();
    void publish();

    void deleteWorkFiles();
    Failure startStretch();
    bool stretchEnded();
    Failure stretchFailure();
    Failure stretchNotStarted();
    Milliseconds tryDeadline() const;
    Milliseconds stepDeadline() const;
    // Decodes the file completely (alongside a pause of the window's run, when one is given),
    // holds it against what it must be and goes on with `next` when it passes.
    // `reasons`: why the job fails when the file is incomplete, and when it is damaged.
    using Reasons = std::pair<FailureReason, FailureReason>;
    static const Reasons kOutputReasons;
    // Decodes the file on a thread and judges it; `next` follows when it passed.
    void checkFile(const QString& path, const Expectation& expected, AudioFacts& facts,
                   Reasons reasons, Milliseconds alongside, Next next);
    // Waits for the decode begun in `decoding_` and judges it.
    void awaitCheck(const QString& path, const Expectation& expected, AudioFacts& facts,
                    Reasons reasons, Next next);
    Expectation expectedStretch() const;
    void afterInputCheck(const Next& next);
    void checkDecoded(const QString& path, const Expectation& expected, AudioFacts& facts,
                      Reasons reasons, Milliseconds waitStart, JobWaits::Stop stop,
                      const Next& next);
    void decode(KindTool tool);
    void sourceDecoded(JobWaits::Stop stop);
    void checkInput();
    Failure sourceFailure();
    bool sourceChanged() const;
    Failure stepFailure(const StepResult& step, FailureReason reason, const QString& folder);
    bool noRoomFor(const QString& path);
    std::int64_t workFileBytes(const QString& name) const;
    static JobResult failure(FailureReason reason);
    QString workFile(const QString& name) const;
    // For a decode on another thread: the job's wait looks again once it is done.
    std::function<void()> wakeWaits();

    void finishConverted();
    void endWithoutOutput(JobResult result);
    void end(const JobResult& result);

    RunShared& run_;
    QString workFolder_;
    JobWaits waits_;
    ToolRunner tools_;

    // The file in progress.
    int row_ = -1;
    QString source_;
    int tries_ = 0;
    bool retryRequested_ = false;
    Milliseconds startTime_{0};
    int estimateSeconds_ = 0;
    RowProgress progress_;
    int progressValue_ = 0;
    int seconds_ = 0;
    ToolId stretch_ = kNoTool;
    ToolStatus stretchStatus_;
    std::unique_ptr<PendingFacts> decoding_;
    // The output decoded while its encoder writes it, for a kind that can be read so.
    std::unique_ptr<FollowedDecode> following_;
    bool inputChecking_ = false;  // decoding_ checks the work input while the stretch runs
    // The source decoded alongside the first tools: the truth its copies are held against.
    std::unique_ptr<BackgroundDecode> sourceDecoding_;
    std::unique_ptr<BackgroundDecode> keptDecoding_;
    AudioFacts sourceFacts_;  // from the source's header
    AudioFacts sourceAudio_;  // decoded
    bool sourceDecoded_ = false;
    bool nameTaken_ = false;
    KindTool decoder_ = KindTool::Copy;
    EncodePlan plan_;
    std::optional<std::int64_t> sourceSize_;
    std::optional<std::int64_t> sourceTime_;
    AudioFacts input_;
    AudioFacts stretched_;
    AudioFacts written_;
    QString target_;       // the output's own name
    QString temporary_;    // where the encoder writes it first
    bool tagged_ = false;  // the output carries all the tags it should
};

}  // namespace qvr
