#include "ConversionJob.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileListModel.h"
#include "JobTags.h"
#include "JobTexts.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"
#include "platform/PathStyle.h"
#include "platform/Storage.h"

#include <QCoreApplication>

#include <cerrno>

namespace qvr {
namespace {

constexpr Milliseconds kGrowthCheck(500);
constexpr Milliseconds kSettlePause(1000);
const char* const kWorkFiles[] = {"error.txt", "input.wav", "output.wav", "progress.txt",
                                  "progress_zum_lesen.txt"};

// Where the encoder writes before the output has been checked: hidden, in the output folder (so
// the final move is one step), short whatever the output's name, with the output's extension
// (the converter picks its container by it).
QString temporaryName(const QString& target, int row)
{
    const QString name = FileNameOf(target);
    const qsizetype dot = name.lastIndexOf(u'.');
    return QStringLiteral(".quorvane-%1-%2.part%3")
        .arg(QCoreApplication::applicationPid())
        .arg(row)
        .arg(dot > 0 ? name.mid(dot) : QString());
}

}  // namespace

ConversionJob::ConversionJob(ConversionState& state, FileListModel& files, RunView& view,
                             QTimer& progressTimer, const Clock& clock, ToolProcesses& processes)
    : state_(state),
      files_(files),
      view_(view),
      progressTimer_(progressTimer),
      clock_(clock),
      processes_(processes),
      waits_(clock, state.AbortRequested),
      tools_(state.WorkFolder, processes, waits_,
             [this](int row, const QString& status) {
                 files_.setCell(row, FileListModel::StatusColumn, status);
             }),
      outputNames_(NamesIgnoreCase)
{
}

QString ConversionJob::workFile(const char* name) const
{
    return state_.WorkFolder + QLatin1String(name);
}

JobResult ConversionJob::failure(FailureReason reason)
{
    return {JobOutcome::Failed, reason, QString(), 0};
}

JobResult ConversionJob::convert(const QString& source, int row)
{
    // The count of failed tries stays in view for the whole run.
    view_.showErrorText(
        state_.ErrorCount > 0 ? QStringLiteral("Errors %1").arg(state_.ErrorCount) : QString(),
        state_.ErrorCount > 0);
    target_.clear();
    temporary_.clear();
    tagged_ = false;
    startTry(source);
    Failure failed = prepare(source, row);
    if (!failed) {
        failed = runTries(source, row);
    }
    if (!failed) {
        failed = waitForStretch();
    }
    if (!failed) {
        failed = checkStretch();
    }
    if (!failed) {
        failed = encode(source, row);
    }
    if (!failed) {
        failed = publish();
    }
    if (failed) {
        return endWithoutOutput(row, *failed);
    }
    return finishConverted(row);
}

// Before any tool runs: the input must be a regular file the decoders can open, and the output
// needs a name of its own that the file system can hold.
ConversionJob::Failure ConversionJob::prepare(const QString& source, int row)
{
    if (!IsRegularFile(source)) {
        return failure(FailureReason::NotRegularFile);
    }
    QString name = files_.cellText(row, FileListModel::OutputColumn);
    if (state_.CdMode) {
        name = WithMp3Extension(name);
    }
    const QString folder = MakeOutputFolder(source, state_.Frequency.FrequencyText, state_.CdMode,
                                            state_.CdFolder, state_.DocumentsFolder);
    name = outputNames_.claim(folder, name);
    files_.setCell(row, FileListModel::OutputColumn, name);
    if (name.isEmpty()) {
        return failure(FailureReason::OutputNotWritable);
    }
    target_ = folder + name;
    if (NameTooLong(target_)) {
        return failure(FailureReason::NameTooLong);
    }
    temporary_ = folder + temporaryName(target_, row);
    source_ = ProbeAudio(source);
    if (!source_.readable) {
        return failure(FailureReason::DecoderFailed);
    }
    return std::nullopt;
}

ConversionJob::Failure ConversionJob::runTries(const QString& source, int row)
{
    for (int tries = 1;; ++tries) {
        if (tries > 1) {
            startTry(source);
        }
        deleteWorkFiles();
        if (Failure failed = decode(source, row)) {
            return failed;
        }
        state_.RetryRequested = false;
        processes_.CloseToolWindow(kStretchTool);
        files_.setCell(row, FileListModel::StatusColumn, QStringLiteral("Calc. Solfeggio Freq."));
        if (!startStretch()) {
            return failure(FailureReason::ToolMissing);
        }
        switch (watch()) {
            case Watch::StretchStarted: return std::nullopt;
            case Watch::Retry:
                if (tries < kMaxTries) {
                    continue;
                }
                return failure(FailureReason::StretchFailed);
            case Watch::TimedOut: return JobResult{JobOutcome::TimedOut};
            case Watch::Aborted: return JobResult{JobOutcome::Aborted};
            case Watch::StretchEnded: return stretchFailure();
        }
    }
}

void ConversionJob::startTry(const QString& source)
{
    progressTimer_.start();
    state_.ProgressTicks = 0;
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

ConversionJob::Failure ConversionJob::decode(const QString& source, int row)
{
    const StepResult step =
        tools_.DecodeToWorkWav(source, row, stepDeadline(), WorkBits(source_.bits));
    if (!step.succeeded()) {
        return stepFailure(step, FailureReason::DecoderFailed, state_.WorkFolder);
    }
    return checkFile(workFile("input.wav"), ExpectedWorkInput(source_), input_,
                     FailureReason::DecoderFailed);
}

bool ConversionJob::startStretch()
{
    const QString batch = workFile("conv.bat");
    const double percent =
        TempoPercent(state_.Frequency.TargetFrequency, state_.Frequency.ReferencePitch);
    WriteTextFile(batch, BatchFileText(state_.WorkFolder, TempoText(percent)));
    stretch_ = processes_.startBatch(batch);
    stretchStatus_ = ToolStatus();
    if (stretch_ < 0) {
        host().showPlainMessage(QStringLiteral("Unable to execute soundstretch.exe!"));
        return false;
    }
    return true;
}

// The try's time is up once more whole seconds than the estimate have passed since it began.
Milliseconds ConversionJob::tryDeadline() const
{
    return state_.JobStartTime + Milliseconds((std::int64_t(state_.EstimateSeconds) + 1) * 1000);
}

// A decode, an encode or a check may take as long as the whole estimate of the file.
Milliseconds ConversionJob::stepDeadline() const
{
    return clock_.now() + Milliseconds(std::int64_t(state_.EstimateSeconds) * 1000);
}

ConversionJob::Watch ConversionJob::watch()
{
    Watch result = Watch::StretchStarted;
    const auto seen = [&] {
        if (FileExists(workFile("error.txt"))) {
            ++state_.ErrorCount;
            view_.showErrorText(QStringLiteral("Errors %1").arg(state_.ErrorCount), true);
            state_.RetryRequested = true;
        }
        if (state_.RetryRequested) {
            result = Watch::Retry;
            return true;
        }
        if (FileExists(workFile("output.wav"))) {
            result = Watch::StretchStarted;
            return true;
        }
        // A stretch that has ended without output will not write one any more.
        if (stretchEnded()) {
            result =
                FileExists(workFile("output.wav")) ? Watch::StretchStarted : Watch::StretchEnded;
            return true;
        }
        return false;
    };
    switch (waits_.until(seen, tryDeadline())) {
        case JobWaits::Stop::Done: return result;
        case JobWaits::Stop::TimedOut: return Watch::TimedOut;
        case JobWaits::Stop::Aborted: return Watch::Aborted;
    }
    return Watch::Aborted;
}

// The stretch is done when its output has stopped growing and the tool has ended. A tool still
// running when the try's time is up has really timed out.
ConversionJob::Failure ConversionJob::waitForStretch()
{
    const QString output = workFile("output.wav");
    std::int64_t size = FileSize64(output);
    for (;;) {
        if (waits_.pause(kGrowthCheck) == JobWaits::Stop::Aborted) {
            return JobResult{JobOutcome::Aborted};
        }
        const std::int64_t now = FileSize64(output);
        const bool ended = stretchEnded();
        if (now == size && (ended || clock_.now() >= tryDeadline())) {
            break;
        }
        size = now;
    }
    if (!stretchEnded()) {
        processes_.end(stretch_);
        return JobResult{JobOutcome::TimedOut};
    }
    return stretchStatus_.succeeded() ? std::nullopt : stretchFailure();
}

ConversionJob::Failure ConversionJob::stretchFailure()
{
    if (stretchStatus_.notRunnable()) {
        tools_.reportNotStarted(kStretchTool);
        return failure(FailureReason::ToolMissing);
    }
    return stepFailure({StepResult::End::Failed}, FailureReason::StretchFailed, state_.WorkFolder);
}

bool ConversionJob::stretchEnded()
{
    if (stretchStatus_.running()) {
        stretchStatus_ = processes_.status(stretch_);
    }
    return !stretchStatus_.running();
}

// The stretched work file is checked during the settling pause, so the check costs no time of
// its own.
ConversionJob::Failure ConversionJob::checkStretch()
{
    const double lengthRatio =
        state_.Frequency.ReferencePitch / double(state_.Frequency.TargetFrequency);
    return checkFile(workFile("output.wav"), ExpectedStretch(input_, lengthRatio), stretched_,
                     FailureReason::OutputIncomplete, kSettlePause);
}

// The output is checked as it will stay: with its tags.
ConversionJob::Failure ConversionJob::encode(const QString& source, int row)
{
    const QString folder = FolderOf(target_);
    if (!ForceDirectories(folder)) {
        return failure(DiskIsFull(folder) ? FailureReason::DiskFull
                                          : FailureReason::OutputNotWritable);
    }
    RemoveFile(temporary_);
    const StepResult step =
        tools_.EncodeFromWorkWav(temporary_, row, stepDeadline(), stretched_.bits);
    if (!step.succeeded()) {
        return stepFailure(step, FailureReason::EncoderFailed, folder);
    }
    tagged_ =
        TagOutput(source, temporary_, state_.Frequency, state_.CdMode ? state_.CdTags : CdAlbum());
    AudioFacts written;
    return checkFile(temporary_, ExpectedOutput(KindOf(target_), stretched_), written,
                     FailureReason::OutputIncomplete);
}

// The checked output takes its name in one step, replacing an earlier output.
ConversionJob::Failure ConversionJob::publish()
{
    const int error = ReplaceFile(temporary_, target_);
    if (error == 0) {
        temporary_.clear();
        return std::nullopt;
    }
    if (error == ENAMETOOLONG) {
        return failure(FailureReason::NameTooLong);
    }
    return failure(IsDiskFullError(error) ? FailureReason::DiskFull
                                          : FailureReason::OutputNotWritable);
}

// Decodes the file completely (alongside a pause of the design, when one is given) and holds it
// against what it must be.
ConversionJob::Failure ConversionJob::checkFile(const QString& path, const Expectation& expected,
                                                AudioFacts& facts, FailureReason reason,
                                                Milliseconds alongside)
{
    BackgroundDecode decoding(path);
    if (alongside.count() > 0 && waits_.pause(alongside) == JobWaits::Stop::Aborted) {
        return JobResult{JobOutcome::Aborted};
    }
    const Milliseconds waitStart = clock_.now();
    const JobWaits::Stop stop = waits_.until([&] { return decoding.ready(); }, stepDeadline());
    state_.CheckWaitTime += clock_.now() - waitStart;
    switch (stop) {
        case JobWaits::Stop::Done: break;
        case JobWaits::Stop::TimedOut: return JobResult{JobOutcome::TimedOut};
        case JobWaits::Stop::Aborted: return JobResult{JobOutcome::Aborted};
    }
    facts = decoding.facts();
    if (Meets(facts, expected)) {
        return std::nullopt;
    }
    return failure(DiskIsFull(FolderOf(path)) ? FailureReason::DiskFull : reason);
}

ConversionJob::Failure ConversionJob::stepFailure(const StepResult& step, FailureReason reason,
                                                  const QString& folder)
{
    switch (step.end) {
        case StepResult::End::Succeeded: return std::nullopt;
        case StepResult::End::Aborted: return JobResult{JobOutcome::Aborted};
        case StepResult::End::TimedOut: return JobResult{JobOutcome::TimedOut};
        case StepResult::End::NotStarted: return failure(FailureReason::ToolMissing);
        case StepResult::End::CopyFailed:
            if (IsDiskFullError(step.error)) {
                return failure(FailureReason::DiskFull);
            }
            if (step.error == EINVAL) {
                return failure(FailureReason::NotRegularFile);
            }
            if (step.error == ENAMETOOLONG) {
                return failure(FailureReason::NameTooLong);
            }
            return failure(reason);
        case StepResult::End::Failed: break;
    }
    return failure(DiskIsFull(folder) ? FailureReason::DiskFull : reason);
}

JobResult ConversionJob::finishConverted(int row)
{
    deleteWorkFiles();
    state_.JobEndTime = clock_.now();
    state_.JobSeconds =
        static_cast<int>(WholeSecondsBetween(state_.JobEndTime, state_.JobStartTime));
    JobResult result(JobOutcome::Converted, FailureReason::None, target_, state_.JobSeconds);
    result.tagsCopied = tagged_;
    files_.setCell(row, FileListModel::TimeColumn, state_.JobSeconds);
    files_.setCell(row, FileListModel::StatusColumn,
                   ConvertedStatusText(result, state_.DoneStatusText));
    files_.setCell(row, FileListModel::ProgressColumn, 100);
    processes_.CloseToolWindow(kStretchTool);
    host().setBusyCursor(false);
    view_.jobEnded(row, result);
    return result;
}

// Whatever the job started and wrote goes with it: the tools, the unchecked output, the work
// files. An earlier output under the output's name stays as it was.
JobResult ConversionJob::endWithoutOutput(int row, JobResult result)
{
    progressTimer_.stop();
    processes_.endAll();
    if (!temporary_.isEmpty()) {
        RemoveFile(temporary_);
    }
    deleteWorkFiles();
    files_.setCell(row, FileListModel::StatusColumn,
                   RowStatusText(result, state_.FailedStatusText));
    host().setBusyCursor(false);
    view_.jobEnded(row, result);
    return result;
}

}  // namespace qvr
