#include "ConversionEngine.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileListModel.h"
#include "JobTexts.h"
#include "Resume.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/FileSystem.h"
#include "platform/Storage.h"

#include <algorithm>
#include <cmath>

namespace qvr {

ConversionEngine::ConversionEngine(FileListModel& files, RunView& view,
                                   const MessageBoxes& messages, const ProgramTexts& texts,
                                   const Clock& clock, QObject* parent)
    : QObject(parent),
      files_(files),
      view_(view),
      messages_(messages),
      texts_(texts),
      host_(messages.host()),
      clock_(clock)
{
    ProgressTimer.setInterval(50);
    BlinkenTimer.setInterval(400);
    connect(&ProgressTimer, &QTimer::timeout, this, &ConversionEngine::advanceProgress);
    connect(&BlinkenTimer, &QTimer::timeout, this, &ConversionEngine::blinkNote);
    files_.setStatusText([this](const JobResult& result) {
        return result.converted() || result.outcome == JobOutcome::Kept
                   ? ConvertedStatusText(texts_, result, State.DoneStatusText)
                   : RowStatusText(texts_, result, State.FailedStatusText);
    });
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::applyFrequency(int index)
{
    State.Frequency = FrequencyForIndex(index);
    for (int row = 0; row < files_.rowCount(); ++row) {
        files_.resetRow(
            row, MakeOutputName(FileNameOf(files_.input(row)), State.Frequency.FrequencyText));
    }
}

int ConversionEngine::demonstrationFill(const std::function<int(int)>& random)
{
    const int rows = files_.rowCount();
    const int done = rows / 3 + (rows / 2 > 0 ? random(rows / 2) : 0);
    State.RunDoneText = QString::number(done);
    State.RunTotalText = QString::number(rows);
    if (done == 0) {
        return done;
    }
    for (int row = 0; row <= done && row < rows; ++row) {
        const int seconds = 4 + random(4);
        if (row == done) {
            files_.setSeconds(row, seconds);
            files_.setStep(row, {JobStep::Kind::Demonstration});
            files_.setProgress(row, 40 + random(40));
        } else {
            files_.setEnded(row,
                            JobResult(JobOutcome::Converted, FailureReason::None, {}, seconds));
        }
    }
    return done;
}

void ConversionEngine::fillList(const QStringList& paths)
{
    files_.clear();
    for (const QString& path : paths) {
        files_.addRow(path);
    }
}

QString ConversionEngine::RunCountText() const
{
    return State.RunDoneText + QStringLiteral(" / ") + State.RunTotalText + u' ' + texts_.text(506);
}

void ConversionEngine::run()
{
    State.ErrorCount = 0;
    if (!view_.frequencyChosen()) {
        messages_.show(texts_.text(10001), MessageKind::Information, {MessageButton::OK});
        emit runFinished();
        return;
    }
    lockedForThisRun_ = workFolderLock_ == nullptr;
    if (!lockWorkFolder()) {
        host_.showPlainMessage(QStringLiteral("Quorvane is already started!"));
        emit runFinished();
        return;
    }
    State.AbortRequested = false;
    files_.resetForRun();
    view_.lockControls(true);
    total_ = files_.rowCount();
    nextRow_ = 0;
    active_ = 0;
    ended_.clear();
    Outcomes.clear();
    Results.clear();
    State.RunDoneText = QStringLiteral("0");
    State.RunTotalText = QString::number(total_);
    view_.showRunCount(RunCountText());
    State.CurrentRow = -1;
    State.Idle = false;
    ProgressTimer.start();
    BlinkenTimer.start();
    startJobs();
}

void ConversionEngine::startJobs()
{
    shared_ = std::make_unique<RunShared>(State, files_, view_, clock_, Processes, host_);
    shared_->designPauses = plan_.designPauses;
    jobs_.clear();
    const int count = std::max(1, std::min(plan_.jobs, total_));
    for (int index = 0; index < count; ++index) {
        auto job = std::make_unique<ConversionJob>(*shared_, jobFolder(index));
        ConversionJob* raw = job.get();
        connect(raw, &ConversionJob::tryStarted, this, [this] { ProgressTimer.start(); });
        // Queued: the next row starts once the ended job has left its own code.
        connect(
            raw, &ConversionJob::finished, this,
            [this, raw](int row, const JobResult& result) { jobFinished(*raw, row, result); },
            Qt::QueuedConnection);
        jobs_.push_back(std::move(job));
    }
    for (const auto& job : jobs_) {
        startNextRow(*job);
    }
    if (active_ == 0) {
        finishRun();
    }
}

// One job works in the work folder itself; side by side, each works in a folder of its own below
// it, with links to the same tools.
QString ConversionEngine::jobFolder(int index) const
{
    if (plan_.jobs <= 1) {
        return State.WorkFolder;
    }
    const QString folder = State.WorkFolder + QStringLiteral("job%1/").arg(index + 1);
    ForceDirectories(folder);
    for (const QString& tool : {kMp3Tool, kConverterTool, kStretchTool}) {
        if (FileExists(State.WorkFolder + tool)) {
            ReplaceWithSymbolicLink(State.WorkFolder + tool, folder + tool);
        }
    }
    return folder;
}

void ConversionEngine::startNextRow(ConversionJob& job)
{
    while (!State.AbortRequested && nextRow_ < total_ && nextRow_ < files_.rowCount()) {
        const int row = nextRow_++;
        QString output;
        if (keepsOutputOf(row, output)) {
            ended_.emplace_back(row, JobResult{JobOutcome::Kept, FailureReason::None, output});
            view_.jobEnded(row, ended_.back().second);
            continue;
        }
        ProgressTimer.start();
        State.CurrentRow = row;
        view_.showCurrentRow(row);
        State.RunDoneText = QString::number(row + 1);
        ++active_;
        job.start(files_.input(row), row);
        return;
    }
}

bool ConversionEngine::keepsOutputOf(int row, QString& output) const
{
    if (!plan_.resume) {
        return false;
    }
    const QString& input = files_.input(row);
    QString name = files_.row(row).outputName;
    if (State.CdMode) {
        name = WithMp3Extension(name);
    }
    output = MakeOutputFolder(input, State.Frequency.FrequencyText, State.CdMode, State.CdFolder,
                              State.DocumentsFolder) +
             name;
    return OutputIsCurrent(input, output, int(std::lround(State.Frequency.TargetFrequency)));
}

void ConversionEngine::jobFinished(ConversionJob& job, int row, const JobResult& result)
{
    --active_;
    ended_.emplace_back(row, result);
    view_.showRunCount(RunCountText());
    if (!result.converted()) {
        ProgressTimer.stop();
    }
    startNextRow(job);
    if (active_ == 0) {
        finishRun();
    }
}

void ConversionEngine::finishRun()
{
    std::sort(ended_.begin(), ended_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [row, result] : ended_) {
        Results.push_back(result);
        Outcomes.push_back(result.outcome);
    }
    jobs_.clear();
    shared_.reset();
    if (State.CdMode) {
        DeleteFilesByMask(State.CdFolder + QStringLiteral("*.wav"));
    }
    BlinkenTimer.stop();
    ProgressTimer.stop();
    view_.hideConvertingNote();
    view_.hideRunCount();
    view_.lockControls(false);
    if (lockedForThisRun_) {
        workFolderLock_.reset();
    }
    if (!closing_) {
        messages_.show(State.AbortRequested ? texts_.text(10003) : endText(),
                       MessageKind::Information, {MessageButton::OK});
    }
    closing_ = false;
    State.Idle = true;
    emit runFinished();
}

QString ConversionEngine::endText() const
{
    const auto converted = std::count_if(Results.begin(), Results.end(),
                                         [](const JobResult& r) { return r.converted(); });
    const auto kept = std::count_if(Results.begin(), Results.end(), [](const JobResult& r) {
        return r.outcome == JobOutcome::Kept;
    });
    return RunEndText(texts_, int(converted + kept),
                      int(Results.size() - std::size_t(converted + kept)));
}

bool ConversionEngine::lockWorkFolder()
{
    if (workFolderLock_ == nullptr) {
        auto lock = std::make_unique<WorkFolderLock>(State.WorkFolder);
        if (!lock->acquired()) {
            return false;
        }
        workFolderLock_ = std::move(lock);
    }
    return true;
}

void ConversionEngine::stopNow()
{
    State.AbortRequested = true;
    Processes.endAll();
}

ConversionJob* ConversionEngine::currentJob() const
{
    for (const auto& job : jobs_) {
        if (job->busy() && job->row() == State.CurrentRow) {
            return job.get();
        }
    }
    return nullptr;
}

void ConversionEngine::requestAbort()
{
    State.AbortRequested = true;
}

void ConversionEngine::abortForClose()
{
    closing_ = true;
    requestAbort();
}

void ConversionEngine::advanceProgress()
{
    ConversionJob* job = currentJob();
    if (job == nullptr) {
        ProgressTimer.stop();
        return;
    }
    const int value = job->advanceProgress(Milliseconds(ProgressTimer.interval()));
    files_.setProgress(State.CurrentRow, value);
    if (RowProgress::guessedToTheEnd(value) || job->stretchWriting()) {
        ProgressTimer.stop();
    }
}

void ConversionEngine::blinkNote()
{
    view_.toggleConvertingNote();
}

}  // namespace qvr
