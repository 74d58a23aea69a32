#include "ConversionEngine.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileListModel.h"
#include "JobTexts.h"
#include "PartialOutputs.h"
#include "WorkFolder.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/FileSystem.h"
#include "platform/Storage.h"

#include <algorithm>
#include <cmath>

namespace qvr {
namespace {

// The folders the rows of a run write their outputs into, each once.
QStringList outputFolders(const FileListModel& files, const ConversionSettings& settings,
                          const CdRun* cd)
{
    QStringList folders;
    for (int row = 0; row < files.rowCount(); ++row) {
        folders << settings.paths.outputFolderFor(files.input(row),
                                                  settings.frequency.FrequencyText,
                                                  cd != nullptr ? cd->folder : QString());
    }
    folders.removeDuplicates();
    return folders;
}

// The deepest folder that holds every output there is; empty without one.
QString deepestCommonFolder(const std::vector<JobResult>& results)
{
    std::optional<QStringList> common;
    for (const JobResult& result : results) {
        if (result.output.isEmpty()) {
            continue;
        }
        QStringList parts = result.output.split(u'/');
        parts.removeLast();
        if (!common) {
            common = parts;
            continue;
        }
        qsizetype same = 0;
        while (same < common->size() && same < parts.size() && (*common)[same] == parts[same]) {
            ++same;
        }
        common->resize(same);
    }
    return common ? common->join(u'/') + u'/' : QString();
}

}  // namespace

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
                   ? ConvertedStatusText(texts_, result, doneText_)
                   : RowStatusText(texts_, result, failedText_);
    });
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::setStatusWords(QString done, QString failed)
{
    doneText_ = std::move(done);
    failedText_ = std::move(failed);
}

void ConversionEngine::startCdRun(const QString& folder)
{
    cd_ = CdRun{folder, {}};
}

void ConversionEngine::setCdTags(CdAlbum tags)
{
    if (cd_) {
        cd_->tags = std::move(tags);
    }
}

void ConversionEngine::returnToIdle()
{
    BlinkenTimer.stop();
    ProgressTimer.stop();
    idle_ = true;
}

void ConversionEngine::applyFrequency(int index)
{
    settings_.frequency = FrequencyForIndex(index);
    for (int row = 0; row < files_.rowCount(); ++row) {
        files_.resetRow(
            row, MakeOutputName(FileNameOf(files_.input(row)), settings_.frequency.FrequencyText));
    }
}

int ConversionEngine::demonstrationFill(const std::function<int(int)>& random)
{
    const int rows = files_.rowCount();
    const int done = rows / 3 + (rows / 2 > 0 ? random(rows / 2) : 0);
    runDoneText_ = QString::number(done);
    runTotalText_ = QString::number(rows);
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
    return runDoneText_ + QStringLiteral(" / ") + runTotalText_ + u' ' + texts_.text(506);
}

void ConversionEngine::run()
{
    counters_.errorCount = 0;
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
    counters_.abortRequested = false;
    files_.resetForRun();
    view_.lockControls(true);
    total_ = files_.rowCount();
    nextRow_ = 0;
    active_ = 0;
    waitingJobs_ = 0;
    ended_.clear();
    Outcomes.clear();
    Results.clear();
    runDoneText_ = QStringLiteral("0");
    runTotalText_ = QString::number(total_);
    view_.showRunCount(RunCountText());
    currentRow_ = -1;
    idle_ = false;
    // What a killed run of another process left half-written goes before anything is written.
    RemoveStalePartialOutputs(outputFolders(files_, settings_, cdRun()));
    ProgressTimer.start();
    BlinkenTimer.start();
    startJobs();
}

void ConversionEngine::startJobs()
{
    shared_ = std::make_unique<RunShared>(settings_, cdRun(), counters_, files_, view_, clock_,
                                          Processes, host_);
    jobs_.clear();
    const int count = std::max(1, std::min(settings_.jobs, total_));
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
    waitingJobs_ = jobs_.size();
    startWaitingJob();
}

// One job starts in each turn of the event loop: a job's start reads its source's header and
// prepares its files, and the window repaints and takes Abort between the starts.
void ConversionEngine::startWaitingJob()
{
    if (waitingJobs_ == 0) {
        return;
    }
    ConversionJob& job = *jobs_[jobs_.size() - waitingJobs_];
    --waitingJobs_;
    startNextRow(job);
    if (waitingJobs_ > 0) {
        QTimer::singleShot(0, this, &ConversionEngine::startWaitingJob);
    } else if (active_ == 0) {
        finishRun();
    }
}

// Every job, also a single one, works in a folder the run made and marked as its own below the
// work folder, with links to the tools: a job deletes its work files only there, never among
// files of the user's.
QString ConversionEngine::jobFolder(int index) const
{
    const QString& work = settings_.paths.workFolder();
    QString folder = MakeJobFolder(work, index + 1);
    if (folder.isEmpty()) {
        // Nothing can be made below it: the work folder itself is ours (marked when it was
        // chosen), and its jobs fail there with the reason the file system gives.
        return work;
    }
    for (const QString& tool : {kMp3Tool, kConverterTool, kStretchTool}) {
        if (FileExists(work + tool)) {
            ReplaceWithSymbolicLink(work + tool, folder + tool);
        }
    }
    return folder;
}

void ConversionEngine::startNextRow(ConversionJob& job)
{
    while (!counters_.abortRequested && nextRow_ < total_ && nextRow_ < files_.rowCount()) {
        const int row = nextRow_++;
        ProgressTimer.start();
        currentRow_ = row;
        view_.showCurrentRow(row);
        runDoneText_ = QString::number(row + 1);
        ++active_;
        job.start(files_.input(row), row);
        return;
    }
}

void ConversionEngine::jobFinished(ConversionJob& job, int row, const JobResult& result)
{
    --active_;
    ended_.emplace_back(row, result);
    view_.showRunCount(RunCountText());
    startNextRow(job);
    if (active_ == 0 && waitingJobs_ == 0) {
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
    if (cd_) {
        DeleteFilesByMask(cd_->folder + QStringLiteral("*.wav"));
    }
    BlinkenTimer.stop();
    ProgressTimer.stop();
    view_.hideConvertingNote();
    view_.hideRunCount();
    view_.lockControls(false);
    if (lockedForThisRun_) {
        workFolderLock_.reset();
    }
    runFolder_ = deepestCommonFolder(Results);
    if (!closing_) {
        showEndMessage();
    }
    closing_ = false;
    idle_ = true;
    emit runFinished();
}

// The end names where this run's copies are, so a person finds them; where the front end can
// open folders, a button opens it.
void ConversionEngine::showEndMessage()
{
    const QString text = counters_.abortRequested ? texts_.text(10003) : endText();
    if (runFolder_.isEmpty()) {
        messages_.show(text, MessageKind::Information, {MessageButton::OK});
        return;
    }
    const QString withFolder = text + QStringLiteral("\n\n") + RunFolderText(texts_, runFolder_);
    if (!openFolder_) {
        messages_.show(withFolder, MessageKind::Information, {MessageButton::OK});
        return;
    }
    MessageBoxRequest request = messages_.build(withFolder, MessageKind::Information,
                                                {MessageButton::OK, MessageButton::Yes});
    for (MessageBoxButton& button : request.buttons) {
        if (button.button == MessageButton::Yes) {
            button.caption = texts_.text(kOpenFolderText);
        }
    }
    if (host_.showMessage(request) == static_cast<int>(MessageButton::Yes)) {
        openFolder_(runFolder_);
    }
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
        auto lock = std::make_unique<WorkFolderLock>(settings_.paths.workFolder());
        if (!lock->acquired()) {
            return false;
        }
        workFolderLock_ = std::move(lock);
    }
    return true;
}

void ConversionEngine::stopNow()
{
    requestAbort();
    Processes.endAll();
}

ConversionJob* ConversionEngine::currentJob() const
{
    for (const auto& job : jobs_) {
        if (job->busy() && job->row() == currentRow_) {
            return job.get();
        }
    }
    return nullptr;
}

void ConversionEngine::requestAbort()
{
    counters_.abortRequested = true;
    for (const auto& job : jobs_) {
        job->wake();
    }
}

void ConversionEngine::abortForClose()
{
    closing_ = true;
    requestAbort();
}

// Every running job's row moves on; the timer stops once no row has anything left to guess.
void ConversionEngine::advanceProgress()
{
    bool guessing = false;
    for (const auto& job : jobs_) {
        if (!job->busy() || job->progressSettled()) {
            continue;
        }
        const int value = job->advanceProgress(Milliseconds(ProgressTimer.interval()));
        files_.setProgress(job->row(), value);
        guessing = guessing || !job->progressSettled();
    }
    if (!guessing) {
        ProgressTimer.stop();
    }
}

void ConversionEngine::blinkNote()
{
    view_.toggleConvertingNote();
}

}  // namespace qvr
