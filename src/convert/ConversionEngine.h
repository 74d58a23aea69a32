#pragma once

#include "ConversionJob.h"
#include "ConversionState.h"
#include "RunView.h"
#include "platform/Processes.h"
#include "platform/WorkFolderLock.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace qvr {

class FileListModel;
class MessageBoxes;
class ProgramTexts;

// How a run goes: the window converts one file after the other with the pauses of its steps; a
// batch run may convert several side by side and go on as soon as each tool has ended.
struct RunPlan {
    int jobs = 1;
    bool designPauses = true;
    // Rows whose output is already there, tuned alike and newer than the source, are kept.
    bool resume = false;
};

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

    ConversionState State;
    QTimer ProgressTimer;
    QTimer BlinkenTimer;
    // The tools the engine started; only these are ever ended.
    ToolProcesses Processes;
    // How each job of the last run ended, by row, for the rows the run took up.
    std::vector<JobOutcome> Outcomes;
    std::vector<JobResult> Results;

    void setPlan(RunPlan plan) { plan_ = std::move(plan); }

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
    bool running() const { return !State.Idle; }
    void requestAbort();
    // Abort for a window that is closing: the run ends as Abort ends it, without its end message.
    void abortForClose();
    void advanceProgress();
    void blinkNote();

    QString RunCountText() const;
    // The job that converts the current row in the window's run; null between runs.
    ConversionJob* currentJob() const;

  signals:
    void runFinished();

  private:
    void startJobs();
    void startNextRow(ConversionJob& job);
    void jobFinished(ConversionJob& job, int row, const JobResult& result);
    void finishRun();
    bool keepsOutputOf(int row, QString& output) const;
    QString jobFolder(int index) const;
    QString endText() const;

    FileListModel& files_;
    RunView& view_;
    const MessageBoxes& messages_;
    const ProgramTexts& texts_;
    Host& host_;
    const Clock& clock_;
    RunPlan plan_;
    std::unique_ptr<RunShared> shared_;
    std::vector<std::unique_ptr<ConversionJob>> jobs_;
    std::vector<std::pair<int, JobResult>> ended_;
    int nextRow_ = 0;
    int active_ = 0;  // jobs started whose end has not been taken in yet
    int total_ = 0;
    bool lockedForThisRun_ = false;
    bool closing_ = false;
    std::unique_ptr<WorkFolderLock> workFolderLock_;
};

}  // namespace qvr
