#include "EngineHarness.h"

#include "convert/ConversionJob.h"
#include "platform/FileSystem.h"

using namespace qvr;
using namespace qvr::test;

namespace {

// A stretch that copies its input at once, as a very fast tool would.
const QByteArray kQuickStretch = "cp input.wav output.wav\n";

}  // namespace

TEST_F(EngineTest, AnErrorInTheFirstTryIsRetriedAndCounted)
{
    installTool("soundstretch.exe",
                "if [ -f tried ]; then cp input.wav output.wav; else touch tried error.txt; fi\n");
    writeFile(music + "a.wav", "RIFF fake wav data");
    // The failed try takes 100 s; the row must count only the second try.
    view.onErrorShown = [this] { clock.advance(Milliseconds(100'000)); };
    convert({music + "a.wav"});

    EXPECT_EQ(engine.State.ErrorCount, 1);
    EXPECT_EQ(view.errorText, "Errors 1");
    EXPECT_TRUE(view.errorVisible);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(cell(0, FileListModel::ProgressColumn), "100");
    EXPECT_EQ(files.cell(0, FileListModel::TimeColumn).toInt(), engine.State.JobSeconds);
    EXPECT_LT(engine.State.JobSeconds, 100);
    EXPECT_EQ(readFile(outputFolderFor(music + "a.wav") + "a-432 Hz.wav"), "RIFF fake wav data");
    for (const char* name : {"input.wav", "output.wav", "error.txt"}) {
        EXPECT_FALSE(FileExists(work + name)) << name;
    }
    EXPECT_EQ(recorder.texts().last(), GetLanguageText(10002));
}

TEST_F(EngineTest, RetriesAreBoundedAndTheRowThenFails)
{
    installTool("soundstretch.exe", "touch error.txt\n");
    writeFile(music + "a.wav", "x");
    writeFile(music + "b.wav", "y");
    convert({music + "a.wav", music + "b.wav"});
    EXPECT_EQ(engine.State.ErrorCount, 2 * ConversionJob::kMaxTries);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed");
    EXPECT_EQ(engine.Outcomes, (std::vector<JobOutcome>{JobOutcome::Failed, JobOutcome::Failed}));
    EXPECT_EQ(view.errorText, "Errors 6");
}

TEST_F(EngineTest, AStretchThatNeverWritesTimesOutByTheClock)
{
    installTool("soundstretch.exe", "while :; do sleep 0.05; done\n");
    writeFile(music + "a.wav", "x");
    recorder.onProcessEvents = [this] { clock.advance(Milliseconds(50'000)); };
    convert({music + "a.wav"});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::TimedOut});
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed");
    EXPECT_EQ(engine.State.EstimateSeconds, 600);
    EXPECT_FALSE(QDir(home.outputFolder()).exists("432 Hz"));
    EXPECT_FALSE(recorder.busy);
}

TEST_F(EngineTest, AStretchThatEndsWithoutOutputFailsAtOnceAndTheRunGoesOn)
{
    installTool("soundstretch.exe", "[ -s input.wav ] && cp input.wav output.wav\nexit 0\n");
    writeFile(music + "empty.wav", "");
    writeFile(music + "good.wav", "good");
    convert({music + "empty.wav", music + "good.wav"});
    EXPECT_EQ(engine.Outcomes,
              (std::vector<JobOutcome>{JobOutcome::TimedOut, JobOutcome::Converted}));
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(readFile(outputFolderFor(music + "good.wav") + "good-432 Hz.wav"), "good");
    EXPECT_EQ(view.runCounts.last(), "2 / 2 " + GetLanguageText(506));
}

TEST_F(EngineTest, AStretchThatGrowsSlowlyIsEncodedOnlyWhenDone)
{
    installTool("soundstretch.exe",
                "printf part1 > output.wav; sleep 0.4; printf part2 >> output.wav; sleep 0.6;"
                " printf part3 >> output.wav\n");
    writeFile(music + "a.wav", "x");
    convert({music + "a.wav"});
    EXPECT_EQ(readFile(outputFolderFor(music + "a.wav") + "a-432 Hz.wav"), "part1part2part3");
}

TEST_F(EngineTest, AbortDuringTheThirdOfFiveFiles)
{
    installTool("soundstretch.exe", kQuickStretch);
    QStringList inputs;
    for (int i = 1; i <= 5; ++i) {
        inputs << music + QString("t%1.wav").arg(i);
        writeFile(inputs.last(), "x");
    }
    recorder.onProcessEvents = [this] {
        if (engine.State.CurrentRow == 2) {
            engine.AbortBitBtnClick();
        }
    };
    convert(inputs);
    EXPECT_EQ(engine.Outcomes[2], JobOutcome::Aborted);
    for (int row : {3, 4}) {
        EXPECT_EQ(cell(row, FileListModel::StatusColumn), "-");
        EXPECT_EQ(cell(row, FileListModel::TimeColumn), "-");
    }
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "Done");
    EXPECT_EQ(view.runCounts.last(), "3 / 5 " + GetLanguageText(506));
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.back().text, GetLanguageText(10003));
    EXPECT_FALSE(view.locked);
    EXPECT_FALSE(view.noteVisible);
    EXPECT_TRUE(engine.State.Idle);
}

TEST_F(EngineTest, AnEncoderThatWritesNothingEndsTheJobWithoutOutput)
{
    installTool("soundstretch.exe", kQuickStretch);
    installTool("lame.exe", "case \"$*\" in *--decode*) cp \"$1\" \"$2\";; esac\n");
    writeFile(music + "a.mp3", "x");
    convert({music + "a.mp3"});
    EXPECT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Failed});
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed");
}

TEST_F(EngineTest, NoFrequencyChosenStartsNothing)
{
    view.chosen = false;
    writeFile(music + "a.wav", "x");
    convert({music + "a.wav"});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, GetLanguageText(10001));
    EXPECT_TRUE(view.runCounts.isEmpty());
    EXPECT_FALSE(view.locked);
}

TEST_F(EngineTest, AnEmptyListEndsAtOnceAsFinished)
{
    convert({});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, GetLanguageText(10002));
}

TEST_F(EngineTest, ChoosingAFrequencyNamesEveryRowAndResetsItsCells)
{
    engine.FillList({music + "Song.MP3", music + "b.flac"});
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "");
    EXPECT_EQ(cell(0, FileListModel::TimeColumn), "-");
    files.setCell(1, FileListModel::StatusColumn, "Done");
    files.setCell(1, FileListModel::ProgressColumn, 100);
    engine.ApplyFrequency(5);
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "Song-528 Hz.mp3");
    EXPECT_EQ(cell(1, FileListModel::OutputColumn), "b-528 Hz.flac");
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "-");
    EXPECT_EQ(files.cell(1, FileListModel::ProgressColumn).toInt(), 0);
    EXPECT_EQ(engine.State.Frequency.ReferencePitch, 523.251);
}

TEST_F(EngineTest, CdModeWritesMp3IntoTheCdFolderAndRemovesTheRippedWavs)
{
    installTool("soundstretch.exe", kQuickStretch);
    installTool("lame.exe", "cp \"$3\" \"$4\"\n");  // -b 192 {W}output.wav {T}
    const QString cd = home.outputFolder() + "CD-ROM-Input/Best/";
    writeFile(cd + "Track01.wav", "one");
    engine.State.CdMode = true;
    engine.State.CdFolder = cd;
    convert({cd + "Track01.wav"});
    EXPECT_EQ(cell(0, FileListModel::OutputColumn), "Track01-432 Hz.mp3");
    EXPECT_EQ(readFile(cd + "432 Hz/Track01-432 Hz.mp3"), "one");
    EXPECT_FALSE(FileExists(cd + "Track01.wav"));
}

TEST_F(EngineTest, TheProgressTimerFillsTheCurrentRow)
{
    engine.FillList({music + "a.wav"});
    engine.State.CurrentRow = 0;
    engine.State.ProgressScale = 16;
    engine.State.ProgressTicks = 0;
    engine.ProgressTimer.start();
    QStringList values;
    for (int tick = 0; tick < 52 && engine.ProgressTimer.isActive(); ++tick) {
        engine.ProgressTimerTimer();
        values << cell(0, FileListModel::ProgressColumn);
    }
    EXPECT_EQ(values.mid(0, 6), QStringList({"0", "2", "4", "6", "8", "9"}));
    EXPECT_EQ(values.size(), 52);
    EXPECT_EQ(values.last(), "96");
    EXPECT_FALSE(engine.ProgressTimer.isActive());
}

TEST_F(EngineTest, TheDemonstrationFillShowsARunUnderWay)
{
    QStringList inputs;
    for (int i = 0; i < 6; ++i) {
        inputs << music + QString("t%1.wav").arg(i);
    }
    engine.FillList(inputs);
    engine.ApplyFrequency(4);
    const int done = engine.DemonstrationFill([](int) { return 1; });
    EXPECT_EQ(done, 3);  // 6 / 3 + 1
    EXPECT_EQ(engine.RunCountText(), "3 / 6 " + GetLanguageText(506));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, FileListModel::StatusColumn), "Done");
        EXPECT_EQ(cell(row, FileListModel::ProgressColumn), "100");
        EXPECT_EQ(cell(row, FileListModel::TimeColumn), "5");
    }
    EXPECT_EQ(cell(3, FileListModel::StatusColumn), "Convert Hz");
    EXPECT_EQ(cell(3, FileListModel::ProgressColumn), "41");
    EXPECT_EQ(cell(4, FileListModel::StatusColumn), "-");
}
