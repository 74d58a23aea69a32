#pragma once

#include "ConversionJob.h"
#include "ConversionSettings.h"
#include "RunView.h"
#include "platform/Processes.h"
#include "platform/WorkFolderLock.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qvr {

class FileListModel;
class MessageBoxes;
class ProgramTexts;

// The batch run: converts every row of the list from top to bottom, keeps the run counter, the
// progress of the current row and the blinking note going, and reports how the run ended. The
// window and the command-line front end drive the same engine. The run is driven by its jobs'
// signals: run() starts it and returns; `runFinished` says it is over.
class ConversionEngine : public QObject {
    Q_OBJECT

  public:
    // Messages go through `messages`, numbered texts come from `texts`.
    ConversionEngine(FileListModel& files, RunView& view, const MessageBoxes& messages,
                     const ProgramTexts& texts, const Clock& clock = steadyClock(),
                     QObject* parent = nullptr);
    ~ConversionEngine() override;

    QTimer ProgressTimer;
    QTimer BlinkenTimer;
    // The tools the engine started; only these are ever ended.
    ToolProcesses Processes;
    // How each job of the last run ended, by row, for the rows the run took up.
    std::vector<JobOutcome> Outcomes;
    std::vector<JobResult> Results;

    // How the engine converts, before its first run: folders, target, jobs, pauses, resume.
    void configure(ConversionSettings settings) { settings_ = std::move(settings); }
    const ConversionSettings& settings() const { return settings_; }
    // The words a row ends with: "Done" and "Failed" in the language of the run.
    void setStatusWords(QString done, QString failed);

    // The next run converts the ripped tracks in `folder` to MP3 files in its "{N} Hz" folder.
    void startCdRun(const QString& folder);
    // The tags of the CD's tracks, once they have been ripped.
    void setCdTags(CdAlbum tags);
    // Runs after this convert files again, each in its own kind.
    void leaveCdMode() { cd_.reset(); }
    // The CD being converted; null outside CD mode.
    const CdRun* cdRun() const { return cd_ ? &*cd_ : nullptr; }

    // Takes the work folder for this process, so that no other run can share its work files;
    // false when another run holds it. A run takes it by itself when nobody took it before.
    bool lockWorkFolder();
    // Ends the running tools at once and asks the run to stop (a termination signal).
    void stopNow();

    // Sets the frequency state from a chooser index and gives every row its output name, with
    // time, progress and status reset.
    void applyFrequency(int index);
    // Fills the list as if a run were a third or more through (for showing the program); answers
    // the number of rows shown as done. `random(n)` answers a whole number from 0 to n - 1.
    int demonstrationFill(const std::function<int(int)>& random);
    // Replaces the list by one row per path.
    void fillList(const QStringList& paths);

    // Starts a run of the whole list; `runFinished` follows when it is over.
    void run();
    bool running() const { return !idle_; }
    // Stops the timers and takes the engine back to no run (after a failure around a run).
    void returnToIdle();
    void requestAbort();
    bool abortRequested() const { return counters_.abortRequested; }
    // The row the window shows as the one being converted; -1 before the first.
    int currentRow() const { return currentRow_; }
    const RunCounters& counters() const { return counters_; }
    // Abort for a window that is closing: the run ends as Abort ends it, without its end message.
    void abortForClose();
    void advanceProgress();
    void blinkNote();

    QString RunCountText() const;
    // The deepest folder holding every output of the last run (ending with its separator);
    // empty when it left none.
    const QString& runFolder() const { return runFolder_; }
    // With an opener the end message offers to open the run's folder, and a press calls it.
    void setFolderOpener(std::function<void(const QString& folder)> open)
    {
        openFolder_ = std::move(open);
    }

    // The job that converts the current row in the window's run; null between runs.
    ConversionJob* currentJob() const;

  signals:
    void runFinished();

  private:
    void startJobs();
    void startWaitingJob();
    void startNextRow(ConversionJob& job);
    void jobFinished(ConversionJob& job, int row, const JobResult& result);
    void finishRun();
    QString jobFolder(int index) const;
    QString endText() const;
    void showEndMessage();

    FileListModel& files_;
    RunView& view_;
    const MessageBoxes& messages_;
    const ProgramTexts& texts_;
    Host& host_;
    const Clock& clock_;
    friend class EngineProbe;  // lets tests hold the engine as if a run were going

    ConversionSettings settings_;
    std::optional<CdRun> cd_;
    RunCounters counters_;
    QString doneText_;
    QString failedText_;
    int currentRow_ = -1;
    bool idle_ = true;
    QString runTotalText_;
    QString runDoneText_;
    std::unique_ptr<RunShared> shared_;
    std::vector<std::unique_ptr<ConversionJob>> jobs_;
    std::vector<std::pair<int, JobResult>> ended_;
    int nextRow_ = 0;
    int active_ = 0;               // jobs started whose end has not been taken in yet
    std::size_t waitingJobs_ = 0;  // jobs of the run not started yet
    int total_ = 0;
    bool lockedForThisRun_ = false;
    bool closing_ = false;
    std::unique_ptr<WorkFolderLock> workFolderLock_;
    QString runFolder_;
    std::function<void(const QString&)> openFolder_;
};

}  // namespace qvr
