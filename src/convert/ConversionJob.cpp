#include "ConversionJob.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileListModel.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"
#include "platform/Processes.h"

namespace qvr {
namespace {

// The watch waits for events at most this long per round, so a running tool costs no CPU.
constexpr int kWatchSliceMs = 10;
constexpr Milliseconds kGrowthCheck(500);
constexpr Milliseconds kSettlePause(1000);
const char* const kWorkFiles[] = {"error.txt", "input.wav", "output.wav", "progress.txt",
                                  "progress_zum_lesen.txt"};

}  // namespace

ConversionJob::ConversionJob(ConversionState& state, FileListModel& files, RunView& view,
                             QTimer& progressTimer, const Clock& clock)
    : state_(state),
      files_(files),
      view_(view),
      progressTimer_(progressTimer),
      clock_(clock),
      tools_(state.WorkFolder, [this](int row, const QString& status) {
          files_.setCell(row, FileListModel::StatusColumn, status);
      })
{
}

QString ConversionJob::workFile(const char* name) const
{
    return state_.WorkFolder + QLatin1String(name);
}

JobOutcome ConversionJob::ConvertFile(const QString& source, int row)
{
    // The count of failed tries stays in view for the whole run.
    view_.showErrorText(
        state_.ErrorCount > 0 ? QStringLiteral("Errors %1").arg(state_.ErrorCount) : QString(),
        state_.ErrorCount > 0);
    for (int tries = 1;; ++tries) {
        startTry(source);
        deleteWorkFiles();
        tools_.DecodeToWorkWav(source, row);
        state_.RetryRequested = false;
        CloseToolWindow(kStretchTool);
        files_.setCell(row, FileListModel::StatusColumn, QStringLiteral("Calc. Solfeggio Freq."));
        startStretch();
        const Watch result = watch();
        if (result == Watch::Retry && tries < kMaxTries) {
            continue;
        }
        if (result != Watch::StretchStarted) {
            const JobOutcome outcome = result == Watch::Aborted ? JobOutcome::Aborted
                                       : result == Watch::Retry ? JobOutcome::Failed
                                                                : JobOutcome::TimedOut;
            return endWithoutOutput(row, outcome);
        }
        break;
    }
    waitForStretch();
    QString target;
    if (!encode(source, row, target)) {
        return endWithoutOutput(row, JobOutcome::Failed);
    }
    finishConverted(row);
    return JobOutcome::Converted;
}

void ConversionJob::startTry(const QString& source)
{
    progressTimer_.start();
    state_.ProgressTicks = 0;
    state_.AbortRequested = false;
    host().setBusyCursor(true);
    state_.JobStartTime = clock_.now();
    const int raw = RawEstimateSeconds(FileSize64(source), KindOf(source), state_.PcSpeed);
    state_.ProgressScale = ProgressScaleFrom(raw);
    state_.EstimateSeconds = EstimateSecondsFrom(raw);
}

void ConversionJob::deleteWorkFiles()
{
    for (const char* name : kWorkFiles) {
        RemoveFile(workFile(name));
    }
}

void ConversionJob::startStretch()
{
    const QString batch = workFile("conv.bat");
    const double percent =
        TempoPercent(state_.Frequency.TargetFrequency, state_.Frequency.ReferencePitch);
    WriteTextFile(batch, BatchFileText(state_.WorkFolder, TempoText(percent)));
    if (!StartHidden(batch, stretch_)) {
        stretch_ = -1;
        host().showPlainMessage(QStringLiteral("Unable to execute soundstretch.exe!"));
    }
}

int ConversionJob::remainingSeconds() const
{
    return state_.EstimateSeconds -
           static_cast<int>(WholeSecondsBetween(clock_.now(), state_.JobStartTime));
}

ConversionJob::Watch ConversionJob::watch()
{
    for (;;) {
        host().processEvents(kWatchSliceMs);
        const int remaining = remainingSeconds();
        if (FileExists(workFile("error.txt"))) {
            ++state_.ErrorCount;
            view_.showErrorText(QStringLiteral("Errors %1").arg(state_.ErrorCount), true);
            state_.RetryRequested = true;
        }
        if (state_.RetryRequested) {
            return Watch::Retry;
        }
        if (remaining < 0) {
            return Watch::TimedOut;
        }
        if (state_.AbortRequested) {
            return Watch::Aborted;
        }
        if (FileExists(workFile("output.wav"))) {
            return Watch::StretchStarted;
        }
        // A stretch that has ended without output will not write one any more.
        if (HasEnded(stretch_) && !FileExists(workFile("output.wav"))) {
            return Watch::TimedOut;
        }
    }
}

// The stretch is done when its output has stopped growing and the tool has ended (or its time
// is up), so a tool that pauses does not get its output encoded half-written.
void ConversionJob::waitForStretch()
{
    const QString output = workFile("output.wav");
    std::int64_t size = FileSize64(output);
    for (;;) {
        clock_.sleep(kGrowthCheck);
        const std::int64_t now = FileSize64(output);
        const bool settled = HasEnded(stretch_) || remainingSeconds() < 0;
        if (now == size && settled) {
            break;
        }
        size = now;
    }
    clock_.sleep(kSettlePause);
}

bool ConversionJob::encode(const QString& source, int row, QString& target)
{
    QString folder = MakeOutputFolder(source, state_.Frequency.FrequencyText, false,
                                      state_.CdFolder, state_.DocumentsFolder);
    if (!state_.CdMode) {
        ForceDirectories(folder);
    }
    QString name = files_.cellText(row, FileListModel::OutputColumn);
    if (state_.CdMode) {
        name = WithMp3Extension(name);
        files_.setCell(row, FileListModel::OutputColumn, name);
        folder = MakeOutputFolder(source, state_.Frequency.FrequencyText, true, state_.CdFolder,
                                  state_.DocumentsFolder);
        ForceDirectories(folder);
    }
    target = folder + name;
    tools_.EncodeFromWorkWav(target, row);
    // The encoder has ended: an output that is not there now will not come.
    return !name.isEmpty() && FileExists(target);
}

void ConversionJob::finishConverted(int row)
{
    deleteWorkFiles();
    state_.JobEndTime = clock_.now();
    state_.JobSeconds =
        static_cast<int>(WholeSecondsBetween(state_.JobEndTime, state_.JobStartTime));
    files_.setCell(row, FileListModel::TimeColumn, state_.JobSeconds);
    files_.setCell(row, FileListModel::StatusColumn, state_.DoneStatusText);
    files_.setCell(row, FileListModel::ProgressColumn, 100);
    CloseToolWindow(kStretchTool);
    host().setBusyCursor(false);
    view_.jobEnded(row, JobOutcome::Converted);
}

JobOutcome ConversionJob::endWithoutOutput(int row, JobOutcome outcome)
{
    progressTimer_.stop();
    CloseToolWindow(kStretchTool);
    files_.setCell(row, FileListModel::StatusColumn, state_.FailedStatusText);
    host().setBusyCursor(false);
    view_.jobEnded(row, outcome);
    return outcome;
}

}  // namespace qvr
