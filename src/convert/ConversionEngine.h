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

// The batch run: converts every row of the list from top to bottom, keeps the run counter, the
// progress of the current row and the blinking note going, and reports how the run ended. The
// window and the command-line front end drive the same engine.
class ConversionEngine : public QObject {
    Q_OBJECT

  public:
    ConversionEngine(FileListModel& files, RunView& view, const Clock& clock = steadyClock(),
                     QObject* parent = nullptr);
    ~ConversionEngine() override;

    ConversionState State;
    QTimer ProgressTimer;
    QTimer BlinkenTimer;
    // The tools the engine started; only these are ever ended.
    ToolProcesses Processes;
    // How each job of the last run ended, by row.
    std::vector<JobOutcome> Outcomes;
    std::vector<JobResult> Results;

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

    // Runs the whole list; returns when the run is over.
    void run();
    void requestAbort();
    void advanceProgress();
    void blinkNote();

    QString RunCountText() const;

  private:
    void runRows(int total);
    QString endText() const;

    FileListModel& files_;
    RunView& view_;
    const Clock& clock_;
    std::unique_ptr<ConversionJob> job_;
    std::unique_ptr<WorkFolderLock> workFolderLock_;
};

}  // namespace qvr
