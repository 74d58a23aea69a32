#include "BatchFrontEnd.h"

#include "AppSession.h"
#include "BatchCd.h"
#include "BatchProgress.h"
#include "CdAlbumTags.h"
#include "ProgramSetup.h"
#include "convert/AudioFormats.h"
#include "convert/ConversionEngine.h"
#include "convert/Estimate.h"
#include "convert/FileGathering.h"
#include "convert/FileListModel.h"
#include "convert/Frequencies.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"
#include "platform/NativePath.h"
#include "platform/PathStyle.h"
#include "platform/ProcessTimes.h"
#include "platform/Terminal.h"
#include "platform/TerminationSignals.h"

#include <QDir>
#include <QEventLoop>
#include <QMap>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace qvr {
namespace {

// Writes text as the bytes the system knows it by, so a name prints as it is on disk.
void print(std::FILE* stream, const QString& text)
{
    const std::string bytes = toNativeBytes(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

// One line per file: input, seconds, output, outcome, reason; fields separated by tabs.
QString resultLine(const QString& input, const JobResult& result)
{
    const bool hasOutput = result.converted() || result.outcome == JobOutcome::Kept;
    const QString seconds =
        result.converted() ? QString::number(result.seconds) : QStringLiteral("-");
    const QString output = hasOutput ? result.output : QStringLiteral("-");
    return QStringList{EscapedForLine(input), seconds, EscapedForLine(output),
                       OutcomeWord(result.outcome),
                       result.converted() ? NoteWords(result) : ReasonWords(result.reason)}
               .join(u'\t') +
           u'\n';
}

// The run as a terminal shows it: a line per file on standard output and, while it runs, one
// progress line for the whole run on standard error when that is a terminal.
class ConsoleRunView : public RunView {
  public:
    ConsoleRunView(FileListModel& files, std::FILE* out, std::FILE* err)
        : files_(files), out_(out), err_(err), bar_(IsTerminal(err))
    {
        refresh_.setInterval(1000);
        QObject::connect(&refresh_, &QTimer::timeout, [this] { drawBar(); });
    }

    bool frequencyChosen() const override { return true; }
    void lockControls(bool running) override
    {
        if (running) {
            started_ = steadyClock().now();
            done_ = 0;
            refresh_.start();
        } else {
            refresh_.stop();
        }
    }
    void showRunCount(const QString&) override {}
    void hideRunCount() override { clearBar(); }
    void toggleConvertingNote() override {}
    void hideConvertingNote() override {}
    void showErrorText(const QString&, bool) override {}
    void showCurrentRow(int row) override
    {
        running_.insert(row, FileNameOf(files_.cellText(row, FileListModel::InputColumn)));
        drawBar();
    }
    void jobEnded(int row, const JobResult& result) override
    {
        running_.remove(row);
        ++done_;
        clearBar();
        print(out_, resultLine(files_.cellText(row, FileListModel::InputColumn), result));
        drawBar();
    }

  private:
    void drawBar()
    {
        if (!bar_ || !refresh_.isActive()) {
            return;
        }
        const QString line =
            BatchProgressLine(done_, files_.rowCount(), running_.values(),
                              steadyClock().now() - started_, TerminalColumns(err_) - 1);
        print(err_, QStringLiteral("\r\033[K") + line);
    }
    void clearBar()
    {
        if (bar_) {
            std::fprintf(err_, "\r\033[K");
            std::fflush(err_);
        }
    }

    FileListModel& files_;
    std::FILE* out_;
    std::FILE* err_;
    bool bar_;
    QTimer refresh_;
    Milliseconds started_{0};
    int done_ = 0;
    QMap<int, QString> running_;
};

int frequencyIndex(int hertz)
{
    return TargetTexts().indexOf(QString::number(hertz));
}

QString absolutePath(const QString& path, const QString& currentFolder)
{
    return QDir::cleanPath(QDir(currentFolder).absoluteFilePath(path));
}

// At least one job, and not more than a machine could use.
int jobCount(const QString& text, QString& error)
{
    bool number = false;
    const int jobs = text.toInt(&number);
    if (!number || jobs < 1 || jobs > 256) {
        error = QStringLiteral("--jobs takes a number from 1 to 256");
        return 0;
    }
    return jobs;
}

// The files a run converts, and the paths given that hold nothing to convert.
struct Gathered {
    QStringList files;
    std::vector<std::pair<QString, FailureReason>> refused;
    std::vector<std::pair<QString, QString>> unread;  // CD tracks not ripped, with the reason
    QString error;                                    // the CD could not be read at all
};

// The English words of a track's failure, for the terminal.
QString failureWords(TrackFailure reason)
{
    switch (reason) {
        case TrackFailure::ReadError: return QStringLiteral("read error");
        case TrackFailure::DiscRemoved: return QStringLiteral("disc removed");
        case TrackFailure::NotAudio: return QStringLiteral("not an audio track");
    }
    return QString();
}

// Rips the CD the request names into its CD folder and readies the engine for the run in CD
// mode; the ripped tracks are the files to convert.
Gathered ripCd(const BatchRequest& request, CdBatchRipper& ripper, const ProgramPaths& paths,
               ConversionEngine& engine, const ProgramTexts& texts)
{
    Gathered gathered;
    const CdBatchRip rip =
        ripper.rip({request.cdSource, request.cdName, request.tracks}, paths.cdInputFolder());
    // A CUE image's fault names its file, in the language of the run.
    if (rip.failure) {
        gathered.error = rip.problem.fault == ImageFault::None
                             ? rip.failure->message
                             : DiscProblemText(texts, rip.problem);
    }
    for (const FailedTrack& track : rip.disc.failed) {
        gathered.unread.emplace_back(
            QStringLiteral("%1#%2 %3").arg(request.cdSource).arg(track.number).arg(track.title),
            failureWords(track.reason));
    }
    for (const RippedTrack& track : rip.disc.tracks) {
        gathered.files << track.wavPath;
    }
    engine.startCdRun(rip.cdFolder);
    engine.setCdTags(AlbumTags(rip.album, rip.disc));
    return gathered;
}

// Each file once, however often it is named or reached. A name that leads nowhere (a dangling
// link, a missing file) or to a file of another kind is refused before any tool sees it.
Gathered gather(const BatchRequest& request)
{
    Gathered gathered;
    SourceFiles sources;
    for (const QString& path : request.paths) {
        if (DirectoryExists(path)) {
            sources.addFolder(path, request.subfolders);
        } else if (IsRegularFile(path) && IsSupportedSource(path)) {
            sources.addFile(path);
        } else {
            const bool other = FileExists(path) && !IsRegularFile(path);
            gathered.refused.emplace_back(
                path, other ? FailureReason::NotRegularFile : FailureReason::NotSupportedFile);
        }
    }
    gathered.files = sources.files();
    return gathered;
}

struct Summary {
    int converted = 0;
    int failed = 0;
    int timedOut = 0;
    int aborted = 0;
    int kept = 0;

    void add(JobOutcome outcome)
    {
        switch (outcome) {
            case JobOutcome::Converted: ++converted; break;
            case JobOutcome::Failed: ++failed; break;
            case JobOutcome::TimedOut: ++timedOut; break;
            case JobOutcome::Aborted: ++aborted; break;
            case JobOutcome::Kept: ++kept; break;
        }
    }
    QString text() const
    {
        QString line = QStringLiteral("%1 converted, %2 failed").arg(converted).arg(failed);
        if (timedOut > 0) {
            line += QStringLiteral(", %1 timed out").arg(timedOut);
        }
        if (aborted > 0) {
            line += QStringLiteral(", %1 aborted").arg(aborted);
        }
        if (kept > 0) {
            line += QStringLiteral(", %1 kept").arg(kept);
        }
        return line + u'\n';
    }
    bool allConverted() const { return failed + timedOut + aborted == 0; }
};

}  // namespace

QString EscapedForLine(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\') {
            escaped += QStringLiteral("\\\\");
        } else if (c == u'\t') {
            escaped += QStringLiteral("\\t");
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

BatchRequest ParseBatchArguments(const QStringList& arguments, const QString& currentFolder)
{
    BatchRequest request;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            request.paths << absolutePath(argument, currentFolder);
        } else if (argument == u"--help" || argument == u"-h") {
            request.help = true;
        } else if (argument == u"--frequency" && i + 1 < arguments.size()) {
            request.frequency = arguments[++i].toInt();
        } else if (argument.startsWith(QStringLiteral("--frequency="))) {
            request.frequency = argument.mid(12).toInt();
        } else if (argument == u"--cd" && i + 1 < arguments.size()) {
            request.cdSource = absolutePath(arguments[++i], currentFolder);
        } else if (argument == u"--cd-name" && i + 1 < arguments.size()) {
            request.cdName = arguments[++i];
        } else if (argument == u"--tracks" && i + 1 < arguments.size()) {
            const std::optional<std::vector<int>> tracks = ParseTrackList(arguments[++i]);
            if (!tracks) {
                request.error = QStringLiteral("--tracks takes a list such as 1,3-5");
            }
            request.tracks = tracks.value_or(std::vector<int>());
        } else if (argument == u"--jobs" && i + 1 < arguments.size()) {
            request.jobs = jobCount(arguments[++i], request.error);
        } else if (argument.startsWith(QStringLiteral("--jobs="))) {
            request.jobs = jobCount(argument.mid(7), request.error);
        } else if (argument == u"--work-folder" && i + 1 < arguments.size()) {
            request.workFolder = absolutePath(arguments[++i], currentFolder);
        } else if (argument == u"--output-folder" && i + 1 < arguments.size()) {
            request.outputFolder = absolutePath(arguments[++i], currentFolder);
        } else if (argument.startsWith(QStringLiteral("--output-folder="))) {
            request.outputFolder = absolutePath(argument.mid(16), currentFolder);
        } else if (argument == u"--resume") {
            request.resume = true;
        } else if (argument == u"--subfolders") {
            request.subfolders = true;
        } else if (argument == u"--cpu-report") {
            request.cpuReport = true;
        } else if (argument == u"--") {
            optionsEnded = true;
        } else {
            request.error = QStringLiteral("unknown option ") + argument;
        }
    }
    if (request.help || !request.error.isEmpty()) {
        return request;
    }
    if (frequencyIndex(request.frequency) < 0) {
        request.error = QStringLiteral("--frequency must be one of ") +
                        TargetTexts().join(QStringLiteral(", "));
    } else if (!request.cdSource.isEmpty() && !request.paths.isEmpty()) {
        request.error = QStringLiteral("--cd converts a CD: name no files or folders with it");
    } else if (request.cdSource.isEmpty() &&
               (!request.cdName.isEmpty() || !request.tracks.empty())) {
        request.error = QStringLiteral("--cd-name and --tracks need --cd");
    } else if (request.cdSource.isEmpty() && request.paths.isEmpty()) {
        request.error = QStringLiteral("name at least one file or folder");
    }
    return request;
}

QString BatchUsage()
{
    return QStringLiteral(
               "usage: quorvane-batch --frequency HZ [--subfolders] [--jobs N] [--resume]\n"
               "                      [--work-folder DIR] [--output-folder DIR] [--cpu-report] "
               "PATH...\n"
               "       quorvane-batch --frequency HZ --cd SOURCE [--cd-name NAME] [--tracks LIST]\n"
               "\n"
               "Re-tunes every supported file (%1) named, or found in\n"
               "a folder named (with --subfolders also in its subfolders), to HZ: one of\n"
               "%2. Outputs go below ~/Documents/Quorvane/HZ Hz/, or with --output-folder DIR\n"
               "below DIR/HZ Hz/, each in the folder of its file.\n"
               "\n"
               "--jobs N converts N files at once (default: one per processor core). --resume "
               "keeps\n"
               "an output that is there already, tuned to HZ, newer than its file and complete\n"
               "(its line says kept), so an interrupted run goes on where it stopped.\n"
               "--work-folder DIR puts the work files into DIR instead of the program's work\n"
               "folder (into DIR/quorvane-work/ when DIR holds files of its own): runs with work\n"
               "folders of their own may run at the same time, for example one per folder of a\n"
               "library. A file at an output's name that is no output of Quorvane stays; the\n"
               "output takes a numbered name (its line notes name taken).\n"
               "\n"
               "--cd rips the tracks of a CD (SOURCE: a drive such as /dev/sr0, or a .cue sheet) "
               "as\n"
               "Read CD does, all or those of LIST (such as 1,3-5), into ~/Documents/Quorvane/\n"
               "CD-ROM-Input/NAME/ and converts them to MP3 there. NAME defaults to the disc's\n"
               "CD-TEXT title, else \"Audio CD\" and the date. A track that cannot be read is a "
               "line\n"
               "of its own with its reason.\n"
               "\n"
               "Standard output: one line per file, tab-separated: input, seconds, output, "
               "outcome\n"
               "(converted, failed, timed out, aborted, kept) and the reason of a failure; tab, "
               "newline\n"
               "and backslash in names are written as \\t, \\n and \\\\. Standard error: a "
               "summary.\n"
               "\n"
               "Exit status: 0 every file converted, 1 some file not, 2 wrong command line, 3 "
               "another\n"
               "copy of Quorvane is running, 128 + N after signal N (the run is cleaned up "
               "first).\n")
        .arg(KindLabels().join(QStringLiteral(", ")), TargetTexts().join(QStringLiteral(", ")));
}

int RunBatch(const BatchRequest& request, AppSession& session, std::FILE* out, std::FILE* err)
{
    TerminationSignals termination;
    Host& host = session.host();
    session.setOutputAndWorkFolders(session.systemInfo());
    if (!request.workFolder.isEmpty()) {
        const QString refused = session.useWorkFolder(request.workFolder);
        if (!refused.isEmpty()) {
            print(err, refused + u'\n');
            return kWrongCommandLine;
        }
    }
    if (!request.outputFolder.isEmpty()) {
        session.useOutputFolder(request.outputFolder);
    }
    const ProgramFolders& folders = session.folders();

    FileListModel model;
    ConsoleRunView view(model, out, err);
    ConversionEngine engine(model, view, session.messages(), session.texts());
    // Side by side, and each step goes on as soon as its tool has ended: the check of what the
    // tool wrote stands in for the window's watching and pauses.
    const int cores = std::max(1, QThread::idealThreadCount());
    ConversionSettings settings =
        StartingSettings(folders.paths, RunStyle::Batch, request.jobs > 0 ? request.jobs : cores);
    settings.resume = request.resume;
    // No speed probe: a batch run's time limits come from the estimate of the reference machine,
    // at least ten minutes a try, which no tool of a working machine comes near.
    settings.pcSpeed = kReferenceSpeed;
    engine.configure(settings);
    engine.setStatusWords(session.texts().text(505), session.texts().text(507));
    // The work folder is ours before anything is written into it, or not at all.
    if (!engine.lockWorkFolder()) {
        host.showPlainMessage(QStringLiteral("Quorvane is already started!"));
        return kAnotherCopyRuns;
    }
    CdBatchRipper ripper;
    QObject::connect(&termination, &TerminationSignals::received, &engine, [&engine, &ripper](int) {
        ripper.abort();
        engine.stopNow();
    });
    session.linkTools();
    session.linkFfmpeg();

    const Gathered gathered = request.cdSource.isEmpty()
                                  ? gather(request)
                                  : ripCd(request, ripper, folders.paths, engine, session.texts());
    if (!gathered.error.isEmpty()) {
        print(err, gathered.error + u'\n');
        return kSomeNotConverted;
    }
    const double probeCpu = 0;

    Summary summary;
    for (const auto& [path, reason] : gathered.refused) {
        print(out, resultLine(path, JobResult(JobOutcome::Failed, reason)));
        summary.add(JobOutcome::Failed);
    }
    for (const auto& [track, words] : gathered.unread) {
        print(out, QStringList{EscapedForLine(track), QStringLiteral("-"), QStringLiteral("-"),
                               OutcomeWord(JobOutcome::Failed), words}
                           .join(u'\t') +
                       u'\n');
        summary.add(JobOutcome::Failed);
    }
    if (termination.first() == 0 && !gathered.files.isEmpty()) {
        engine.fillList(gathered.files);
        engine.applyFrequency(frequencyIndex(request.frequency));
        // The batch's own event loop: the run is driven by its jobs' signals.
        QEventLoop loop;
        QObject::connect(&engine, &ConversionEngine::runFinished, &loop, &QEventLoop::quit);
        engine.run();
        if (engine.running()) {
            loop.exec();
        }
    }
    for (const JobResult& result : engine.Results) {
        summary.add(result.outcome);
    }
    // Files the run did not reach after an abort.
    for (int row = int(engine.Results.size()); row < gathered.files.size(); ++row) {
        print(out, resultLine(gathered.files[row], JobResult(JobOutcome::Aborted)));
        summary.add(JobOutcome::Aborted);
    }
    print(err, summary.text());
    if (request.cpuReport) {
        std::fprintf(err,
                     "engine cpu seconds: %.3f\nspeed probe cpu seconds: %.3f\n"
                     "output check wait seconds: %.3f\noutputs decoded while written: %d\n",
                     OwnCpuSeconds() - probeCpu, probeCpu,
                     double(engine.counters().checkWaitTime.count()) / 1000.0,
                     engine.counters().outputsDecodedAsWritten);
    }
    if (termination.first() != 0) {
        return 128 + termination.first();
    }
    return summary.allConverted() ? kAllConverted : kSomeNotConverted;
}

}  // namespace qvr
