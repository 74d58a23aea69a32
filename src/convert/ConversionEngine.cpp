#include "ConversionEngine.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileListModel.h"
#include "JobTexts.h"
#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "lang/Language.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"

#include <algorithm>

namespace qvr {

ConversionEngine::ConversionEngine(FileListModel& files, RunView& view, const Clock& clock,
                                   QObject* parent)
    : QObject(parent), files_(files), view_(view), clock_(clock)
{
    ProgressTimer.setInterval(50);
    BlinkenTimer.setInterval(400);
    connect(&ProgressTimer, &QTimer::timeout, this, &ConversionEngine::advanceProgress);
    connect(&BlinkenTimer, &QTimer::timeout, this, &ConversionEngine::blinkNote);
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::applyFrequency(int index)
{
    State.Frequency = FrequencyForIndex(index);
    for (int row = 0; row < files_.rowCount(); ++row) {
        const QString input = files_.cellText(row, FileListModel::InputColumn);
        files_.setCell(row, FileListModel::OutputColumn,
                       MakeOutputName(FileNameOf(input), State.Frequency.FrequencyText));
        files_.setCell(row, FileListModel::TimeColumn, QStringLiteral("-"));
        files_.setCell(row, FileListModel::ProgressColumn, 0);
        files_.setCell(row, FileListModel::StatusColumn, QStringLiteral("-"));
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
        const bool current = row == done;
        files_.setCell(row, FileListModel::TimeColumn, 4 + random(4));
        files_.setCell(row, FileListModel::StatusColumn,
                       current ? QStringLiteral("Convert Hz") : State.DoneStatusText);
        files_.setCell(row, FileListModel::ProgressColumn, current ? 40 + random(40) : 100);
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
    return State.RunDoneText + QStringLiteral(" / ") + State.RunTotalText + u' ' +
           GetLanguageText(506);
}

void ConversionEngine::run()
{
    State.ErrorCount = 0;
    if (!view_.frequencyChosen()) {
        LanguageMessageDlg(GetLanguageText(10001), MessageKind::Information, {MessageButton::OK});
        return;
    }
    const bool lockedForThisRun = workFolderLock_ == nullptr;
    if (!lockWorkFolder()) {
        host().showPlainMessage(QStringLiteral("Quorvane is already started!"));
        return;
    }
    State.AbortRequested = false;
    view_.lockControls(true);
    const int total = files_.rowCount();
    State.RunDoneText = QStringLiteral("0");
    State.RunTotalText = QString::number(total);
    view_.showRunCount(RunCountText());
    State.CurrentRow = -1;
    State.Idle = false;
    ProgressTimer.start();
    BlinkenTimer.start();
    job_ = std::make_unique<ConversionJob>(State, files_, view_, ProgressTimer, clock_, Processes);
    runRows(total);
    job_.reset();
    if (State.CdMode) {
        DeleteFilesByMask(State.CdFolder + QStringLiteral("*.wav"));
    }
    BlinkenTimer.stop();
    ProgressTimer.stop();
    view_.hideConvertingNote();
    view_.hideRunCount();
    view_.lockControls(false);
    if (lockedForThisRun) {
        workFolderLock_.reset();
    }
    LanguageMessageDlg(State.AbortRequested ? GetLanguageText(10003) : endText(),
                       MessageKind::Information, {MessageButton::OK});
    State.Idle = true;
}

QString ConversionEngine::endText() const
{
    const auto converted = std::count_if(Results.begin(), Results.end(),
                                         [](const JobResult& r) { return r.converted(); });
    return RunEndText(int(converted), int(Results.size() - std::size_t(converted)));
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

void ConversionEngine::runRows(int total)
{
    Outcomes.clear();
    Results.clear();
    for (int row = 0; row < total && row < files_.rowCount(); ++row) {
        ProgressTimer.start();
        const QString input = files_.cellText(row, FileListModel::InputColumn);
        State.CurrentRow = row;
        view_.showCurrentRow(row);
        State.RunDoneText = QString::number(row + 1);
        Results.push_back(job_->convert(input, row));
        Outcomes.push_back(Results.back().outcome);
        view_.showRunCount(RunCountText());
        if (State.AbortRequested) {
            break;
        }
    }
}

void ConversionEngine::requestAbort()
{
    State.AbortRequested = true;
}

void ConversionEngine::advanceProgress()
{
    if (State.ProgressScale == 0) {
        State.ProgressScale = 1;
    }
    // A short file's estimate would run the bar past its end.
    const int value = std::min(
        ProgressValue(State.ProgressTicks, ProgressTimer.interval(), State.ProgressScale), 100);
    ++State.ProgressTicks;
    if (State.CurrentRow >= 0 && State.CurrentRow < files_.rowCount()) {
        files_.setCell(State.CurrentRow, FileListModel::ProgressColumn, value);
    }
    if (value > 95 || FileExists(State.WorkFolder + QStringLiteral("output.wav"))) {
        ProgressTimer.stop();
    }
}

void ConversionEngine::blinkNote()
{
    view_.toggleConvertingNote();
}

}  // namespace qvr
