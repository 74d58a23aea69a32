#pragma once

#include "ConversionState.h"
#include "RunView.h"
#include "ToolCommands.h"

#include <QTimer>

#include <sys/types.h>

namespace qvr {

class FileListModel;

// Turns one row of the list into one re-tuned file: decode into the work WAV, stretch through
// the batch file, watch the work folder, encode into the output folder.
class ConversionJob {
  public:
    // A file whose stretch fails this often ends without output.
    static constexpr int kMaxTries = 3;

    ConversionJob(ConversionState& state, FileListModel& files, RunView& view,
                  QTimer& progressTimer, const Clock& clock);

    JobOutcome ConvertFile(const QString& source, int row);

  private:
    enum class Watch { StretchStarted, Retry, TimedOut, Aborted };

    void startTry(const QString& source);
    void deleteWorkFiles();
    void startStretch();
    Watch watch();
    int remainingSeconds() const;
    void waitForStretch();
    bool encode(const QString& source, int row, QString& target);
    void finishConverted(int row);
    JobOutcome endWithoutOutput(int row, JobOutcome outcome);
    QString workFile(const char* name) const;

    ConversionState& state_;
    FileListModel& files_;
    RunView& view_;
    QTimer& progressTimer_;
    const Clock& clock_;
    ToolRunner tools_;
    pid_t stretch_ = -1;
};

}  // namespace qvr
