#include "EngineHarness.h"

#include "convert/AudioCheck.h"
#include "convert/ConversionJob.h"
#include "platform/FileSystem.h"
#include "platform/Spawn.h"
#include "support/Audio.h"

#include <QCryptographicHash>
#include <QTimer>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qvr;
using namespace qvr::test;

namespace {

// The real stretch, at once: the tools below misbehave around it.
const QByteArray kRealStretch = "exec \"$REAL\" \"$@\"\n";
// A tool that never ends.
const QByteArray kNeverEnds = "while :; do sleep 0.05; done\n";

// The id of a process that has ended and was reaped.
pid_t deadProcessId()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    ::waitpid(pid, nullptr, 0);
    return pid;
}

QByteArray digest(const QString& path)
{
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

}  // namespace

class FakeTools : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        installRealTools();
        installTool("soundstretch.exe", kRealStretch);
    }

    // A one-second tone in the music folder, written as its extension says.
    QString tone(const QString& name, double seconds = 1.0)
    {
        const QString path = music + name;
        if (path.endsWith(".wav")) {
            writeToneWav(path, 440.0, seconds);
        } else {
            EXPECT_TRUE(makeTone(path, 440.0, seconds)) << name.toStdString();
        }
        return path;
    }

    JobResult resultOf(int row) const
    {
        for (const auto& [r, result] : view.ended) {
            if (r == row) {
                return result;
            }
        }
        return {};
    }
};

// Whatever a tool does wrong, the row says so truly, no file is left under the output's name or
// beside it, the work folder is clean and the source is as it was.
struct HostileCase {
    const char* name;
    const char* input;
    const char* tool;
    QByteArray script;
    JobOutcome outcome;
    FailureReason reason;
};

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.name;
}

class HostileTools : public FakeTools, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileTools, LeaveNoDamagedOutputAndSayWhy)
{
    const HostileCase& c = GetParam();
    const QString input = tone(c.input);
    const QByteArray before = digest(input);
    installTool(c.tool, c.script);
    // A hanging tool's time-out comes from a clock that runs fast; the others run in real time.
    if (c.outcome == JobOutcome::TimedOut) {
        clock.onRound = [this] { clock.advance(Milliseconds(20'000)); };
    }
    convert({input});

    ASSERT_EQ(view.ended.size(), 1u);
    EXPECT_EQ(resultOf(0).outcome, c.outcome);
    EXPECT_EQ(resultOf(0).reason, c.reason);
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{c.outcome});
    EXPECT_TRUE(outputTree().isEmpty()) << outputTree().join(", ").toStdString();
    EXPECT_TRUE(workFilesLeft().isEmpty()) << workFilesLeft().join(", ").toStdString();
    EXPECT_EQ(digest(input), before);
    EXPECT_FALSE(engine.Processes.anyRunning());
    EXPECT_NE(cell(0, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(recorder.texts().last(),
              "The conversion has finished. Converted: 0, not converted: 1.");
}

INSTANTIATE_TEST_SUITE_P(
    Engine, HostileTools,
    ::testing::Values(
        HostileCase{"StretchWritesHalfAndDies", "a.wav", "soundstretch.exe",
                    "\"$REAL\" \"$1\" full.wav \"$3\"; head -c 30000 full.wav > output.wav;"
                    " rm full.wav; exit 1\n",
                    JobOutcome::Failed, FailureReason::StretchFailed},
        HostileCase{"StretchCutShortButSaysItIsFine", "a.wav", "soundstretch.exe",
                    "\"$REAL\" \"$1\" full.wav \"$3\"; head -c 30000 full.wav > output.wav;"
                    " rm full.wav; exit 0\n",
                    JobOutcome::Failed, FailureReason::OutputIncomplete},
        HostileCase{"StretchKilledHalfway", "a.wav", "soundstretch.exe",
                    "head -c 30000 input.wav > output.wav; kill -9 $$\n", JobOutcome::Failed,
                    FailureReason::StretchFailed},
        HostileCase{"StretchEndsWithoutOutput", "a.wav", "soundstretch.exe", "exit 0\n",
                    JobOutcome::Failed, FailureReason::StretchFailed},
        HostileCase{"StretchNeverEnds", "a.wav", "soundstretch.exe",
                    "\"$REAL\" \"$@\"; " + kNeverEnds, JobOutcome::TimedOut, FailureReason::None},
        HostileCase{"Mp3EncoderWritesHalfAndDies", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) \"$REAL\" \"$@\"; head -c 5000 \"$4\" > cut;"
                    " mv cut \"$4\"; exit 1;; esac; exec \"$REAL\" \"$@\"\n",
                    JobOutcome::Failed, FailureReason::EncoderFailed},
        HostileCase{"Mp3EncoderFailsWithAFullLookingFile", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) \"$REAL\" \"$@\"; exit 2;; esac; exec \"$REAL\" \"$@\"\n",
                    JobOutcome::Failed, FailureReason::EncoderFailed},
        HostileCase{"Mp3EncoderCutsShortButSaysItIsFine", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) \"$REAL\" \"$@\"; head -c 5000 \"$4\" > cut;"
                    " mv cut \"$4\";; *) exec \"$REAL\" \"$@\";; esac\n",
                    JobOutcome::Failed, FailureReason::OutputIncomplete},
        HostileCase{"Mp3EncoderWritesNothing", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) exit 0;; esac; exec \"$REAL\" \"$@\"\n", JobOutcome::Failed,
                    FailureReason::OutputIncomplete},
        HostileCase{"Mp3EncoderNeverEnds", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) " + kNeverEnds + ";; esac; exec \"$REAL\" \"$@\"\n",
                    JobOutcome::TimedOut, FailureReason::None},
        HostileCase{"ConverterDecoderCutsShortButSaysItIsFine", "a.flac", "ffmpeg.exe",
                    "case \"$*\" in *input.wav) \"$REAL\" \"$@\"; eval last=\\${$#};"
                    " head -c 30000 \"$last\" > cut; mv cut \"$last\";;"
                    " *) exec \"$REAL\" \"$@\";; esac\n",
                    JobOutcome::Failed, FailureReason::DecoderFailed},
        HostileCase{"ConverterEncoderWritesHalfAndDies", "a.flac", "ffmpeg.exe",
                    "case \"$*\" in *input.wav) exec \"$REAL\" \"$@\";; esac; \"$REAL\" \"$@\";"
                    " eval last=\\${$#}; head -c 3000 \"$last\" > cut; mv cut \"$last\"; exit 1\n",
                    JobOutcome::Failed, FailureReason::EncoderFailed},
        HostileCase{"ConverterEncoderNeverEnds", "a.flac", "ffmpeg.exe",
                    "case \"$*\" in *input.wav) exec \"$REAL\" \"$@\";; esac; " + kNeverEnds,
                    JobOutcome::TimedOut, FailureReason::None},
        HostileCase{"LoaderRefusesTheEncoder", "a.mp3", "lame.exe",
                    "case \"$1\" in -b) exit 127;; esac; exec \"$REAL\" \"$@\"\n",
                    JobOutcome::Failed, FailureReason::ToolMissing}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// The work input is checked while the stretch reads it; a stretch that then fails on a cut
// decode is named as the decode's failure, as when the input was checked first.
TEST_F(FakeTools, AStretchThatFailsOnACutDecodeIsAFailedDecode)
{
    installTool("ffmpeg.exe",
                "case \"$*\" in *input.wav) \"$REAL\" \"$@\"; eval last=\\${$#};"
                " head -c 30000 \"$last\" > cut; mv cut \"$last\";;"
                " *) exec \"$REAL\" \"$@\";; esac\n");
    installTool("soundstretch.exe", "exit 1\n");
    convert({tone("a.flac")});
    EXPECT_EQ(resultOf(0).outcome, JobOutcome::Failed);
    EXPECT_EQ(resultOf(0).reason, FailureReason::DecoderFailed);
    EXPECT_TRUE(outputTree().isEmpty()) << outputTree().join(", ").toStdString();
}

TEST_F(FakeTools, AbortEndsAToolThatNeverEndsAtOnce)
{
    installTool("lame.exe",
                "case \"$1\" in -b) " + kNeverEnds + ";; esac; exec \"$REAL\" \"$@\"\n");
    const QString input = tone("a.mp3");
    clock.onRound = [this] {
        if (cell(0, FileListModel::StatusColumn) == "WAV to MP3") {
            engine.requestAbort();
        }
    };
    convert({input});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Aborted});
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), texts.text(510));
    EXPECT_FALSE(engine.Processes.anyRunning());
    EXPECT_TRUE(outputTree().isEmpty());
    EXPECT_TRUE(workFilesLeft().isEmpty());
    EXPECT_TRUE(recorder.texts().last().startsWith(texts.text(10003)));
}

TEST_F(FakeTools, AFailedConversionLeavesAnEarlierOutputAsItWas)
{
    const QString input = tone("a.mp3");
    const QString earlier = outputFolderFor(input) + "a-432 Hz.mp3";
    writeFile(earlier, "an earlier output");
    installTool("lame.exe", "case \"$1\" in -b) exit 3;; esac; exec \"$REAL\" \"$@\"\n");
    convert({input});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Failed});
    EXPECT_EQ(readFile(earlier), "an earlier output");
    EXPECT_EQ(outputTree(), QStringList{earlier});
}

// A folder under the output's name is no output of ours: it stays, and the output takes the next
// free name.
TEST_F(FakeTools, AFolderAtTheOutputsNameStaysAndTheOutputTakesTheNextName)
{
    const QString input = tone("a.wav");
    const QString blocked = outputFolderFor(input) + "a-432 Hz.wav";
    ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
    convert({input});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_TRUE(resultOf(0).nameTaken);
    EXPECT_EQ(resultOf(0).output, outputFolderFor(input) + "a-432 Hz (2).wav");
    EXPECT_TRUE(QFileInfo(blocked + "/inside").isDir());
    EXPECT_TRUE(workFilesLeft().isEmpty());
}

TEST_F(FakeTools, AMissingToolIsReportedOncePerRunAndItsRowsSaySo)
{
    QFile::remove(work + "lame.exe");
    const QStringList inputs{tone("a.mp3"), tone("b.mp3"), tone("c.wav")};
    convert(inputs);
    EXPECT_EQ(recorder.plainMessages, QStringList{"Error starting lame.exe"});
    EXPECT_EQ(engine.Outcomes, (std::vector<JobOutcome>{JobOutcome::Failed, JobOutcome::Failed,
                                                        JobOutcome::Converted}));
    EXPECT_EQ(resultOf(0).reason, FailureReason::ToolMissing);
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "Failed: " + texts.text(514));
}

TEST_F(FakeTools, AnInputTheDecodersCannotReadFailsAtOnceWithoutRunningATool)
{
    writeFile(music + "noise.mp3", QByteArray(200'000, '\x5a'));
    installTool("lame.exe", "touch ran\n");
    convert({music + "noise.mp3"});
    EXPECT_EQ(resultOf(0).reason, FailureReason::DecoderFailed);
    EXPECT_FALSE(FileExists(work + "ran"));
}

TEST_F(FakeTools, APipeInTheListIsNeverOpened)
{
    const QString pipe = music + "x.wav";
    ASSERT_EQ(::mkfifo(toNativeBytes(pipe).c_str(), 0600), 0);
    convert({pipe, tone("fine.wav")});
    EXPECT_EQ(resultOf(0).reason, FailureReason::NotRegularFile);
    EXPECT_EQ(engine.Outcomes[1], JobOutcome::Converted);
}

// Rows whose file went away (a dangling link) or is of no supported kind end before any tool
// runs, with the reason the user can act on.
TEST_F(FakeTools, NamesThatLeadToNoSupportedFileSaySo)
{
    installTool("lame.exe", "touch \"$HOME/ran\"\n");
    ASSERT_EQ(::symlink("gone.mp3", toNativeBytes(music + "dangling.mp3").c_str()), 0);
    writeFile(music + "notes.txt", "not music");
    writeFile(music + ".quorvane-1-0.part.mp3", "half an output");
    convert({music + "dangling.mp3", music + "notes.txt", music + "missing.mp3",
             music + ".quorvane-1-0.part.mp3"});
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(resultOf(row).reason, FailureReason::NotSupportedFile) << row;
    }
    EXPECT_FALSE(FileExists(home.path() + "/ran"));
    EXPECT_EQ(readFile(music + "notes.txt"), "not music");
}

// Stale partial outputs of a killed run (its process gone) go at the start of the next run that
// writes into their folder; those of a running process and anything else stay.
TEST_F(FakeTools, ARunRemovesThePartialOutputsOfDeadRunsInItsOutputFolders)
{
    const QString input = tone("a.wav");
    convert({input});
    const QString folder = FolderOf(resultOf(0).output);
    const QString dead = QString::number(deadProcessId());
    const QString running = QString::number(::getpid());
    struct Case {
        QString name;
        bool stays;
    } cases[] = {
        {".quorvane-" + dead + "-0.part.mp3", false},
        {".quorvane-" + dead + "-12.part", false},
        {".quorvane-" + running + "-5.part.wav", true},
        {".quorvane-" + dead + "-0.part.mp3.mine", true},
        {"quorvane-" + dead + "-0.part.mp3", true},
        {".quorvane-" + dead + "-x.part.mp3", true},
        {"song.mp3", true},
    };
    for (const Case& c : cases) {
        writeFile(folder + c.name, "bytes");
    }
    // Of that shape, but a folder and a link to a file of the user's: not ours to remove.
    QDir().mkpath(folder + ".quorvane-" + dead + "-1.part.mp3");
    ASSERT_EQ(::symlink(toNativeBytes(input).c_str(),
                        toNativeBytes(folder + ".quorvane-" + dead + "-2.part.wav").c_str()),
              0);
    const QByteArray source = readFile(input);

    convert({input});
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(folder + c.name), c.stays) << c.name.toStdString();
    }
    EXPECT_TRUE(DirectoryExists(folder + ".quorvane-" + dead + "-1.part.mp3"));
    EXPECT_FALSE(SymbolicLinkTarget(folder + ".quorvane-" + dead + "-2.part.wav").isEmpty());
    EXPECT_EQ(readFile(input), source);
}

TEST_F(FakeTools, ADecoyWithAToolsNameSurvivesARun)
{
    const QString elsewhere = home.path() + "/bin/";
    QDir().mkpath(elsewhere);
    writeFile(elsewhere + "ffmpeg.exe", "#!/bin/sh\n" + kNeverEnds);
    ::chmod(toNativeBytes(elsewhere + "ffmpeg.exe").c_str(), 0755);
    const pid_t decoy = SpawnHidden(elsewhere + "ffmpeg.exe", {"soundstretch.exe"}, elsewhere);
    ASSERT_GT(decoy, 0);
    convert({tone("a.flac")});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_FALSE(ChildHasEnded(decoy));
    ::kill(decoy, SIGKILL);
    while (!ChildHasEnded(decoy)) {
    }
}

TEST_F(FakeTools, InputsWhoseOutputsWouldShareANameGetNamesOfTheirOwn)
{
    const QStringList inputs{tone("a.wav", 1.0), tone("a.WAV", 2.0), tone("b.wav")};
    convert(inputs);
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>(3, JobOutcome::Converted));
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "a-432 Hz.wav");
    EXPECT_EQ(cell(1, FileListModel::OutputColumn), "a-432 Hz (2).wav");
    EXPECT_EQ(cell(2, FileListModel::OutputColumn), "b-432 Hz.wav");
    const QString folder = outputFolderFor(inputs[0]);
    EXPECT_NEAR(DecodeAudio(folder + "a-432 Hz.wav").seconds, 1.0 * 440 / 432, 0.05);
    EXPECT_NEAR(DecodeAudio(folder + "a-432 Hz (2).wav").seconds, 2.0 * 440 / 432, 0.05);
    EXPECT_EQ(resultOf(1).output, folder + "a-432 Hz (2).wav");
}

TEST_F(FakeTools, AnErrorInTheFirstTryIsRetriedAndCounted)
{
    installTool("soundstretch.exe",
                "if [ -f tried ]; then exec \"$REAL\" \"$@\"; else touch tried error.txt; fi\n");
    const QString input = tone("a.wav");
    // The failed try takes 100 s; the row must count only the second try.
    view.onErrorShown = [this] { clock.advance(Milliseconds(100'000)); };
    convert({input});

    EXPECT_EQ(engine.counters().errorCount, 1);
    EXPECT_EQ(view.errorText, "Errors 1");
    EXPECT_TRUE(view.errorVisible);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(cell(0, FileListModel::ProgressColumn), "100");
    EXPECT_EQ(files.cell(0, FileListModel::TimeColumn).toInt(), engine.Results[0].seconds);
    EXPECT_LT(engine.Results[0].seconds, 100);
    EXPECT_NEAR(measurePitch(outputFolderFor(input) + "a-432 Hz.wav"), 432.0, 0.5);
    for (const char* name : {"input.wav", "output.wav", "error.txt"}) {
        EXPECT_FALSE(FileExists(work + name)) << name;
    }
    EXPECT_TRUE(recorder.texts().last().startsWith(texts.text(10002)));
}

TEST_F(FakeTools, RetriesAreBoundedAndTheRowThenFails)
{
    installTool("soundstretch.exe", "touch error.txt\n");
    convert({tone("a.wav"), tone("b.wav")});
    EXPECT_EQ(engine.counters().errorCount, 2 * ConversionJob::kMaxTries);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed: " + texts.text(512));
    EXPECT_EQ(engine.Outcomes, (std::vector<JobOutcome>{JobOutcome::Failed, JobOutcome::Failed}));
    EXPECT_EQ(view.errorText, "Errors 6");
}

TEST_F(FakeTools, AStretchThatNeverWritesTimesOutByTheClock)
{
    installTool("soundstretch.exe", kNeverEnds);
    int estimate = 0;
    clock.onRound = [&] {
        if (const ConversionJob* job = engine.currentJob()) {
            estimate = job->estimateSeconds();
        }
        clock.advance(Milliseconds(50'000));
    };
    convert({tone("a.wav"), tone("b.wav")});
    EXPECT_EQ(engine.Outcomes[0], JobOutcome::TimedOut);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), texts.text(509));
    EXPECT_EQ(estimate, 600);
    EXPECT_FALSE(recorder.busy);
    EXPECT_FALSE(engine.Processes.anyRunning());
}

TEST_F(FakeTools, AStretchThatGrowsSlowlyIsEncodedOnlyWhenDone)
{
    installTool("soundstretch.exe",
                "\"$REAL\" \"$1\" full.wav \"$3\"; head -c 1000 full.wav > output.wav; sleep 0.3;"
                " cat full.wav > output.wav; rm full.wav\n");
    const QString input = tone("a.wav");
    convert({input});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_NEAR(DecodeAudio(outputFolderFor(input) + "a-432 Hz.wav").seconds, 440.0 / 432, 0.05);
}

// No step of a job blocks: the stretch goes on only once the test's hand in the event loop lets
// it, so a job that waited for it inside a call would never see it end (it gives up after 10 s).
TEST_F(FakeTools, NoStepKeepsTheEventsWaiting)
{
    const QByteArray started = (home.path() + "/started").toUtf8();
    const QByteArray gate = (home.path() + "/go").toUtf8();
    installTool("soundstretch.exe", "touch '" + started + "'; for i in $(seq 200); do [ -f '" +
                                        gate + "' ] && exec \"$REAL\" \"$@\"; sleep 0.05; done;" +
                                        " exit 1\n");
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        if (FileExists(QString::fromUtf8(started))) {
            writeFile(QString::fromUtf8(gate), "");
        }
    });
    hand.start(5);
    convert({tone("a.wav", 3.0)});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_TRUE(FileExists(QString::fromUtf8(gate)));
}

TEST_F(FakeTools, AbortDuringTheThirdOfFiveFiles)
{
    QStringList inputs;
    for (int i = 1; i <= 5; ++i) {
        inputs << tone(QString("t%1.wav").arg(i));
    }
    clock.onRound = [this] {
        if (engine.currentRow() == 2) {
            engine.requestAbort();
        }
    };
    convert(inputs);
    EXPECT_EQ(engine.Outcomes.size(), 3u);
    EXPECT_EQ(engine.Outcomes[2], JobOutcome::Aborted);
    for (int row : {3, 4}) {
        EXPECT_EQ(cell(row, FileListModel::StatusColumn), "-");
        EXPECT_EQ(cell(row, FileListModel::TimeColumn), "-");
    }
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(view.runCounts.last(), "3 / 5 " + texts.text(506));
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts.text(10003)));
    EXPECT_FALSE(view.locked);
    EXPECT_FALSE(view.noteVisible);
    EXPECT_FALSE(engine.running());
}

TEST_F(FakeTools, TheEndMessageCountsWhatWasAndWasNotConverted)
{
    writeFile(music + "broken.wav", "RIFF, but nothing more");
    convert({tone("a.wav"), music + "broken.wav", tone("c.wav")});
    EXPECT_EQ(
        recorder.messages.back().text,
        "The conversion has finished. Converted: 2, not converted: 1.\n\nThe copies are in: " +
            outputFolderFor(music + "a.wav"));
}

// The end names the deepest folder that holds all of the run's outputs, and none without one.
TEST_F(FakeTools, TheEndNamesTheFolderOfTheRunsOutputs)
{
    QDir().mkpath(music + "x/deep");
    QDir().mkpath(music + "y");
    writeFile(music + "broken.wav", "RIFF, but nothing more");
    const struct {
        QStringList inputs;
        QString folder;  // empty: no folder named
    } cases[] = {
        {{tone("x/deep/a.wav")}, outputFolderFor(music + "x/deep/a.wav")},
        {{tone("x/deep/b.wav"), tone("y/c.wav")}, outputFolderFor(music + "x")},
        {{tone("x/d.wav"), tone("x/deep/e.wav"), music + "broken.wav"},
         outputFolderFor(music + "x/d.wav")},
        {{music + "broken.wav"}, QString()},
    };
    for (const auto& c : cases) {
        convert(c.inputs);
        EXPECT_EQ(engine.runFolder(), c.folder);
        const QString text = recorder.messages.back().text;
        EXPECT_EQ(text.contains("The copies are in: "), !c.folder.isEmpty()) << text.toStdString();
        EXPECT_TRUE(c.folder.isEmpty() || text.endsWith(c.folder)) << text.toStdString();
    }
}

TEST_F(FakeTools, AnAbortOfAnEarlierRunDoesNotStickToTheNext)
{
    engine.requestAbort();
    convert({tone("a.wav")});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts.text(10002)));
}

TEST_F(EngineTest, NoFrequencyChosenStartsNothing)
{
    view.chosen = false;
    writeFile(music + "a.wav", "x");
    convert({music + "a.wav"});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, texts.text(10001));
    EXPECT_TRUE(view.runCounts.isEmpty());
    EXPECT_FALSE(view.locked);
}

TEST_F(EngineTest, AnEmptyListEndsAtOnceAsFinished)
{
    convert({});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.startsWith(texts.text(10002)));
}

TEST_F(EngineTest, ARunIsRefusedWhileAnotherHoldsTheWorkFolder)
{
    WorkFolderLock other(work);
    ASSERT_TRUE(other.acquired());
    writeFile(music + "a.wav", "x");
    convert({music + "a.wav"});
    EXPECT_EQ(recorder.plainMessages, QStringList{"Quorvane is already started!"});
    EXPECT_TRUE(engine.Outcomes.empty());
    EXPECT_FALSE(view.locked);
}

TEST_F(EngineTest, ChoosingAFrequencyNamesEveryRowAndResetsItsCells)
{
    engine.fillList({music + "Song.MP3", music + "b.flac"});
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "");
    EXPECT_EQ(cell(0, FileListModel::TimeColumn), "-");
    files.setEnded(1, JobResult(JobOutcome::Converted, FailureReason::None, "b.flac", 3));
    ASSERT_EQ(cell(1, FileListModel::StatusColumn), "Done");
    engine.applyFrequency(5);
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "Song-528 Hz.mp3");
    EXPECT_EQ(cell(1, FileListModel::OutputColumn), "b-528 Hz.flac");
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "-");
    EXPECT_EQ(files.cell(1, FileListModel::ProgressColumn).toInt(), 0);
    EXPECT_EQ(cell(1, FileListModel::TimeColumn), "-");
    EXPECT_EQ(engine.settings().frequency.ReferencePitch, 523.251);
}

TEST_F(FakeTools, CdModeWritesMp3IntoTheCdFolderAndRemovesTheRippedWavs)
{
    const QString cd = home.outputFolder() + "CD-ROM-Input/Best/";
    QDir().mkpath(cd);
    writeToneWav(cd + "Track01.wav", 440.0, 1.0);
    engine.startCdRun(cd);
    convert({cd + "Track01.wav"});
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "Track01-432 Hz.mp3");
    EXPECT_EQ(DecodeAudio(cd + "432 Hz/Track01-432 Hz.mp3").codec, "mp3");
    EXPECT_FALSE(FileExists(cd + "Track01.wav"));
}

TEST(RowProgress, FillsTheBarFromTheEstimateAndStopsAtItsEnd)
{
    struct Case {
        int scale;
        QList<int> first;
        int ticks;
        int last;
    } cases[] = {
        {16, {0, 2, 4, 6, 8, 9}, 52, 96},
        // A short file: the bar must not run past its end.
        {1, {0, 30, 60, 90, 100}, 5, 100},
    };
    for (const Case& c : cases) {
        RowProgress progress;
        progress.restart(c.scale);
        QList<int> values;
        do {
            values << progress.advance(50);
        } while (!RowProgress::guessedToTheEnd(values.last()) && values.size() < 60);
        EXPECT_EQ(values.mid(0, c.first.size()), c.first);
        EXPECT_EQ(values.size(), c.ticks);
        EXPECT_EQ(values.last(), c.last);
    }
}

TEST_F(EngineTest, TheDemonstrationFillShowsARunUnderWay)
{
    QStringList inputs;
    for (int i = 0; i < 6; ++i) {
        inputs << music + QString("t%1.wav").arg(i);
    }
    engine.fillList(inputs);
    engine.applyFrequency(4);
    const int done = engine.demonstrationFill([](int) { return 1; });
    EXPECT_EQ(done, 3);  // 6 / 3 + 1
    EXPECT_EQ(engine.RunCountText(), "3 / 6 " + texts.text(506));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, FileListModel::StatusColumn), "Done");
        EXPECT_EQ(cell(row, FileListModel::ProgressColumn), "100");
        EXPECT_EQ(cell(row, FileListModel::TimeColumn), "5");
    }
    EXPECT_EQ(cell(3, FileListModel::StatusColumn), "Convert Hz");
    EXPECT_EQ(cell(3, FileListModel::ProgressColumn), "41");
    EXPECT_EQ(cell(4, FileListModel::StatusColumn), "-");
}

// What the MP3 tool cannot decode (it writes half and fails, or writes half and says it is fine),
// the converter decodes: the file is converted whole instead of being refused.
TEST_F(FakeTools, AnMp3TheMp3ToolCannotDecodeIsDecodedByTheConverter)
{
    const char* const endings[] = {"exit 1", "exit 0"};
    for (const char* ending : endings) {
        SCOPED_TRACE(ending);
        const QString input = tone("a.mp3");
        installTool("lame.exe",
                    QByteArray("case \"$1\" in -*) exec \"$REAL\" \"$@\";; esac; \"$REAL\" \"$@\";"
                               " head -c 30000 \"$2\" > cut; mv cut \"$2\"; ") +
                        ending + "\n");
        convert({input});
        ASSERT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
        const AudioFacts output = DecodeAudio(outputFolderFor(input) + "a-432 Hz.mp3");
        EXPECT_TRUE(output.complete);
        EXPECT_NEAR(output.seconds, DecodeAudio(input).seconds * 440.0 / 432.0, 0.06);
    }
}
