#include "BatchFrontEnd.h"

#include "ProgramSetup.h"
#include "convert/AudioFormats.h"
#include "convert/ConversionEngine.h"
#include "convert/FileGathering.h"
#include "convert/FileListModel.h"
#include "convert/Frequencies.h"
#include "lang/Language.h"
#include "platform/FileSystem.h"
#include "platform/PCSpeed_DVK.h"
#include "platform/ProcessTimes.h"
#include "platform/Terminal.h"

#include <QObject>

namespace qvr {
namespace {

QString outcomeText(JobOutcome outcome)
{
    switch (outcome) {
        case JobOutcome::Converted: return QStringLiteral("converted");
        case JobOutcome::TimedOut: return QStringLiteral("timed out");
        case JobOutcome::Failed: return QStringLiteral("failed");
        case JobOutcome::Aborted: return QStringLiteral("aborted");
    }
    return QString();
}

// The run as a terminal shows it: a line per file, a progress bar while it runs.
class ConsoleRunView : public RunView {
  public:
    ConsoleRunView(FileListModel& files, std::FILE* out, std::FILE* err)
        : files_(files), out_(out), err_(err), bar_(IsTerminal(err))
    {
    }
    void watch(ConversionState& state) { state_ = &state; }

    bool frequencyChosen() const override { return true; }
    void lockControls(bool) override {}
    void showRunCount(const QString& text) override
    {
        count_ = text;
        drawBar();
    }
    void hideRunCount() override { clearBar(); }
    void toggleConvertingNote() override {}
    void hideConvertingNote() override {}
    void showErrorText(const QString&, bool) override {}
    void showCurrentRow(int) override { drawBar(); }
    void jobEnded(int row, JobOutcome outcome) override
    {
        clearBar();
        const QString seconds = outcome == JobOutcome::Converted
                                    ? QString::number(state_->JobSeconds)
                                    : QStringLiteral("-");
        const QString output =
            outcome == JobOutcome::Converted
                ? MakeOutputFolder(files_.cellText(row, FileListModel::InputColumn),
                                   state_->Frequency.FrequencyText, state_->CdMode,
                                   state_->CdFolder, state_->DocumentsFolder) +
                      files_.cellText(row, FileListModel::OutputColumn)
                : QStringLiteral("-");
        std::fprintf(out_, "%s\t%s\t%s\t%s\n",
                     qPrintable(files_.cellText(row, FileListModel::InputColumn)),
                     qPrintable(seconds), qPrintable(output), qPrintable(outcomeText(outcome)));
        std::fflush(out_);
    }
    void drawBar()
    {
        if (!bar_ || state_ == nullptr || state_->CurrentRow < 0) {
            return;
        }
        const int percent = std::clamp(
            files_.cell(state_->CurrentRow, FileListModel::ProgressColumn).toInt(), 0, 100);
        const int filled = percent * 30 / 100;
        std::fprintf(err_, "\r[%s%s] %3d%%  %s", QByteArray(filled, '#').constData(),
                     QByteArray(30 - filled, '.').constData(), percent, qPrintable(count_));
        std::fflush(err_);
    }

  private:
    void clearBar()
    {
        if (bar_) {
            std::fprintf(err_, "\r\033[K");
            std::fflush(err_);
        }
    }

    FileListModel& files_;
    ConversionState* state_ = nullptr;
    std::FILE* out_;
    std::FILE* err_;
    bool bar_;
    QString count_;
};

int frequencyIndex(int hertz)
{
    const QStringList items = FrequencyItems();
    return items.indexOf(QString::number(hertz) + QStringLiteral("Hz"));
}

}  // namespace

BatchRequest ParseBatchArguments(const QStringList& arguments)
{
    BatchRequest request;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--frequency" && i + 1 < arguments.size()) {
            request.frequency = arguments[++i].toInt();
        } else if (argument.startsWith(QStringLiteral("--frequency="))) {
            request.frequency = argument.mid(12).toInt();
        } else if (argument == u"--subfolders") {
            request.subfolders = true;
        } else if (argument == u"--cpu-report") {
            request.cpuReport = true;
        } else if (argument == u"--") {
            request.paths << arguments.mid(i + 1);
            break;
        } else if (argument.startsWith(QStringLiteral("--"))) {
            request.error = QStringLiteral("unknown option ") + argument;
        } else {
            request.paths << argument;
        }
    }
    if (request.error.isEmpty() && frequencyIndex(request.frequency) < 0) {
        request.error = QStringLiteral(
            "--frequency must be one of 174, 285, 396, 417, 432, 528, "
            "639, 741, 852, 963");
    } else if (request.error.isEmpty() && request.paths.isEmpty()) {
        request.error = QStringLiteral("name at least one file or folder");
    }
    return request;
}

QString BatchUsage()
{
    return QStringLiteral(
        "usage: quorvane-batch --frequency HZ [--subfolders] [--cpu-report] PATH...");
}

int RunBatch(const BatchRequest& request, const QString& programFolder, std::FILE* out,
             std::FILE* err)
{
    ProgramFolders folders;
    SetProgramFolders(folders, programFolder);
    SetOutputAndWorkFolders(folders, WindowsInfo());
    CopyTools(folders);
    CopyFfmpeg(folders);
    SpeedProbeFolder = folders.WorkFolder;

    QStringList files;
    QStringList refused;
    for (const QString& path : request.paths) {
        if (DirectoryExists(path)) {
            files << GatherFolderFiles(path, request.subfolders);
        } else if (FileExists(path) && IsSupportedFile(path)) {
            files << path;
        } else {
            refused << path;
        }
    }

    FileListModel model;
    ConsoleRunView view(model, out, err);
    ConversionEngine engine(model, view);
    view.watch(engine.State);
    engine.State.WorkFolder = folders.WorkFolder;
    engine.State.DocumentsFolder = folders.DocumentsFolder;
    engine.State.ProgramOutputFolder = folders.ProgramOutputFolder;
    engine.State.DoneStatusText = GetLanguageText(505);
    engine.State.FailedStatusText = GetLanguageText(507);
    const double cpuBeforeProbe = OwnCpuSeconds();
    engine.State.PcSpeed = MeasurePCSpeed();
    const double probeCpu = OwnCpuSeconds() - cpuBeforeProbe;
    QObject::connect(&model, &FileListModel::dataChanged, [&view] { view.drawBar(); });

    engine.FillList(files);
    engine.ApplyFrequency(frequencyIndex(request.frequency));
    engine.ConvertBitBtnClick();

    for (std::size_t row = 0; row < engine.Outcomes.size(); ++row) {
        if (engine.Outcomes[row] != JobOutcome::Converted) {
            refused << model.cellText(static_cast<int>(row), FileListModel::InputColumn);
        }
    }
    for (const QString& path : refused) {
        std::fprintf(err, "not converted: %s\n", qPrintable(path));
    }
    if (request.cpuReport) {
        std::fprintf(err, "engine cpu seconds: %.3f\nspeed probe cpu seconds: %.3f\n",
                     OwnCpuSeconds() - probeCpu, probeCpu);
    }
    return refused.isEmpty() ? 0 : 1;
}

}  // namespace qvr
