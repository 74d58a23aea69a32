#include "BatchFixture.h"
#include "app/BatchCd.h"
#include "app/BatchFrontEnd.h"
#include "convert/AudioCheck.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <cmath>

#include <signal.h>
#include <sys/stat.h>

using namespace qvr;
using namespace qvr::test;

TEST_F(Batch, HelpPrintsTheUsageAndEndsWell)
{
    const BatchRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: quorvane-batch"));
    const BatchRun wrong = run({"--frequency", "432", "--loud", "x.mp3"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains("unknown option --loud"));
}

TEST_F(Batch, ArgumentsAreReadAsTheSystemGivesThem)
{
    struct Case {
        QStringList arguments;
        QString firstPath;
        bool help;
    } cases[] = {
        {{"--frequency", "432", "a.mp3"}, "/music/a.mp3", false},
        {{"--frequency=528", "../x/./b.flac", "/abs/c.wav"}, "/x/b.flac", false},
        {{"--frequency", "432", "--", "--odd.wav"}, "/music/--odd.wav", false},
        {{"-h"}, QString(), true},
    };
    for (const Case& c : cases) {
        const BatchRequest request = ParseBatchArguments(c.arguments, "/music");
        EXPECT_TRUE(request.error.isEmpty()) << request.error.toStdString();
        EXPECT_EQ(request.help, c.help);
        EXPECT_EQ(request.paths.value(0), c.firstPath);
    }
    const QString odd = fromNativeBytes(std::string("caf\xE9.wav"));
    EXPECT_EQ(ParseBatchArguments({"--frequency", "432", odd}, "/m").paths,
              QStringList{"/m/" + odd});
    EXPECT_EQ(EscapedForLine("a\tb\nc\\d"), "a\\tb\\nc\\\\d");
    for (const QStringList& outputFolder :
         {QStringList{"--output-folder=../out"}, QStringList{"--output-folder", "/m/out"}}) {
        EXPECT_EQ(
            ParseBatchArguments(outputFolder + QStringList{"--frequency", "432", "a.wav"}, "/m/x")
                .outputFolder,
            "/m/out");
    }
}

TEST_F(Batch, TheCdOptionsAreReadAndCheckedTogether)
{
    struct Case {
        QStringList arguments;
        QString error;  // empty: understood
        std::vector<int> tracks;
    } cases[] = {
        {{"--frequency", "432", "--cd", "disc.cue"}, "", {}},
        {{"--frequency", "432", "--cd", "/dev/sr0", "--tracks", "5,1-3,2"}, "", {1, 2, 3, 5}},
        {{"--frequency", "432", "--cd", "d.cue", "--tracks", "3-1"}, "--tracks takes", {}},
        {{"--frequency", "432", "--cd", "d.cue", "--tracks", "a"}, "--tracks takes", {}},
        {{"--frequency", "432", "--cd", "d.cue", "x.mp3"}, "name no files", {}},
        {{"--frequency", "432", "--cd-name", "X", "x.mp3"}, "need --cd", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const BatchRequest request = ParseBatchArguments(c.arguments, "/music");
        EXPECT_TRUE(c.error.isEmpty() ? request.error.isEmpty() : request.error.contains(c.error))
            << request.error.toStdString();
        if (c.error.isEmpty()) {
            EXPECT_EQ(request.tracks, c.tracks);
        }
    }
    EXPECT_EQ(ParseBatchArguments({"--frequency", "432", "--cd", "disc.cue"}, "/music").cdSource,
              "/music/disc.cue");
}

// A CUE sheet whose BIN ends inside the second of three tracks: the first track is ripped,
// converted and tagged from the sheet's CD-TEXT; the other two are named as failed.
TEST_F(Batch, ACdImageIsRippedAndConvertedAndItsUnreadableTracksAreNamed)
{
    constexpr int kSecondBytes = 44100 * 4;
    QByteArray pcm;
    for (int i = 0; i < kSecondBytes * 4; i += 4) {
        const auto sample = static_cast<qint16>(12000 * std::sin(2 * M_PI * 440.0 * i / 4 / 44100));
        for (int channel = 0; channel < 2; ++channel) {
            pcm.append(static_cast<char>(sample & 0xFF)).append(static_cast<char>(sample >> 8));
        }
    }
    QDir().mkpath(music);
    writeFile(music + "disc.bin", pcm);  // 4 s: the sheet asks for 9
    writeFile(music + "disc.cue",
              "TITLE \"Greatest Hits\"\nPERFORMER \"The Band\"\n"
              "FILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    TITLE \"Opening\"\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    INDEX 01 00:03:00\n"
              "  TRACK 03 AUDIO\n    INDEX 01 00:06:00\n");
    const BatchRun cd = run({"--frequency", "432", "--cd", "disc.cue"});

    EXPECT_EQ(cd.exitCode, 1) << cd.err.toStdString();
    EXPECT_TRUE(cd.err.contains("1 converted, 2 failed")) << cd.err.toStdString();
    const QString folder = home.outputFolder() + "CD-ROM-Input/Greatest-Hits/";
    EXPECT_TRUE(cd.out.contains(music.toUtf8() + "disc.cue#2 Track02\t-\t-\tfailed\tread error\n"))
        << cd.out.toStdString();
    EXPECT_TRUE(cd.out.contains(music.toUtf8() + "disc.cue#3 Track03\t-\t-\tfailed\tread error\n"));
    const QString mp3 = folder + "432 Hz/Opening-432 Hz.mp3";
    EXPECT_EQ(tree(folder), QStringList({folder + ".cd-name", mp3}));
    const AudioFacts facts = DecodeAudio(mp3);
    EXPECT_TRUE(facts.complete);
    EXPECT_NEAR(facts.seconds, 3.0 * 440.0 / 432.0, 0.03);
    const Tags tags = readTags(mp3);
    EXPECT_EQ(tags.fields.value("ALBUM"), QStringList{"Greatest Hits"});
    EXPECT_EQ(tags.fields.value("ARTIST"), QStringList{"The Band"});
    EXPECT_EQ(tags.fields.value("TITLE"), QStringList{"Opening"});
    EXPECT_EQ(tags.fields.value("TRACKNUMBER"), QStringList{"1/3"});
    EXPECT_EQ(tags.fields.value("TUNING"), QStringList{"432 Hz (from 440 Hz)"});
}

// Run from the music folder with relative names, of every kind the tools handle, with a name
// that is not UTF-8 and one with a newline.
TEST_F(Batch, RelativeAndOddNamesAreConvertedWhereTheyBelong)
{
    const std::string latin1 = toNativeBytes(music) + "caf\xE9.wav";
    writeToneWav(fromNativeBytes(latin1), 440.0, 1.0);
    writeToneWav(music + "new\nline.wav", 440.0, 1.0);
    ASSERT_TRUE(makeTone(music + "song.mp3", 440.0, 1.0));
    ASSERT_TRUE(makeTone(music + "song.flac", 440.0, 1.0));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(music);
    // The name that is not UTF-8 reaches the program as its bytes, through a shell's glob.
    process.start("/bin/sh", {"-c",
                              "exec \"$0\" --frequency 432 caf*.wav 'new\nline.wav' "
                              "song.mp3 ./song.flac",
                              program});
    ASSERT_TRUE(process.waitForFinished(120000));
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains("4 converted, 0 failed")) << err.toStdString();

    // Files converted side by side end in any order: one line each, as each ends.
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 5) << out.toStdString();  // four lines and the last newline
    const auto lineStartingWith = [&](const QByteArray& start) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const QByteArray& line) { return line.startsWith(start); });
    };
    EXPECT_EQ(lineStartingWith(QByteArray::fromStdString(latin1) + '\t'), 1);
    EXPECT_EQ(lineStartingWith(music.toUtf8() + "new\\nline.wav\t"), 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i].split('\t').value(3), "converted") << lines[i].toStdString();
    }
    const QString folder = outputFolder();
    const std::string latin1Output = toNativeBytes(folder) + "caf\xE9-432 Hz.wav";
    for (const QString& output : {fromNativeBytes(latin1Output), folder + "new\nline-432 Hz.wav",
                                  folder + "song-432 Hz.mp3", folder + "song-432 Hz.flac"}) {
        const AudioFacts facts = DecodeAudio(output);
        EXPECT_TRUE(facts.complete) << output.toStdString();
        EXPECT_NEAR(facts.seconds, 440.0 / 432.0, 0.06) << output.toStdString();
    }
    // Qt's clean-up cannot name these two.
    RemoveFile(fromNativeBytes(latin1));
    RemoveFile(fromNativeBytes(latin1Output));
}

// --output-folder puts the outputs below the folder named, in the same "{N} Hz" folder and the
// source's folder below it; the end names the folder holding them.
TEST_F(Batch, TheOutputFolderNamedTakesTheOutputs)
{
    writeToneWav(music + "a.wav", 440.0, 0.5);
    writeToneWav(music + "b.wav", 440.0, 0.5);
    const BatchRun run =
        this->run({"--frequency", "432", "--output-folder", "../Copies", "a.wav", "b.wav"});

    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder =
        QDir::cleanPath(home.path() + "/Copies") + "/432 Hz" + QDir::cleanPath(music) + "/";
    QStringList outputs = tree(home.path() + "/Copies");
    outputs.sort();
    EXPECT_EQ(outputs, (QStringList{folder + "a-432 Hz.wav", folder + "b-432 Hz.wav"}));
    for (const QString& output : tree(home.path() + "/Copies")) {
        const AudioFacts facts = DecodeAudio(output);
        EXPECT_TRUE(facts.complete) << output.toStdString();
        EXPECT_NEAR(facts.seconds, 0.5 * 440.0 / 432.0, 0.05) << output.toStdString();
    }
    EXPECT_TRUE(tree(home.outputFolder()).isEmpty());
    EXPECT_TRUE((run.out + run.err).contains(("The copies are in: " + folder).toUtf8()))
        << run.err.toStdString();
}

// An abort that comes through the event loop while a track is ripped (as a termination signal
// does) ends the rip there: nothing is listed and no partial file stays.
TEST(BatchCdRipper, AnAbortFromTheEventLoopEndsTheRip)
{
    TempHome home;
    const QString music = home.path() + "/music/";
    QDir().mkpath(music);
    writeFile(music + "disc.bin", QByteArray(60 * 44100 * 4, '\x11'));
    writeFile(music + "disc.cue",
              "FILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    INDEX 01 00:30:00\n");
    CdBatchRipper ripper;
    QTimer::singleShot(0, [&ripper] { ripper.abort(); });
    const CdBatchRip rip =
        ripper.rip({music + "disc.cue", QStringLiteral("Mix"), {}}, home.path() + "/documents/");

    EXPECT_FALSE(rip.failure.has_value()) << rip.failure->message.toStdString();
    EXPECT_TRUE(rip.disc.tracks.empty());
    EXPECT_TRUE(rip.disc.failed.empty());
    EXPECT_EQ(QDir(rip.cdFolder).entryList(QDir::Files | QDir::Hidden), QStringList{".cd-name"});
}

// Each failure of a CD rip comes back as its reason, naming what failed; the rip stops there and
// nothing is thrown.
TEST(BatchCdRipper, EachFailureIsAnsweredAsItsReason)
{
    TempHome home;
    const QString music = home.path() + "/music/";
    QDir().mkpath(music);
    writeFile(music + "disc.bin", QByteArray(2 * 44100 * 4, '\x11'));
    writeFile(music + "disc.cue",
              "FILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n");
    writeFile(home.path() + "/taken", "a file where the CD folders would go");
    const struct {
        const char* situation;
        CdBatchRequest request;
        QString cdInputFolder;
        CdError kind;
        QStringList named;
    } cases[] = {
        {"no such drive",
         {home.path() + "/no-drive", QStringLiteral("Mix"), {}},
         home.path() + "/documents/",
         CdError::NoDrive,
         {home.path() + "/no-drive"}},
        {"a missing sheet",
         {music + "other.cue", QStringLiteral("Mix"), {}},
         home.path() + "/documents/",
         CdError::UnreadableDisc,
         {music + "other.cue"}},
        {"a track the disc lacks",
         {music + "disc.cue", QStringLiteral("Mix"), {3}},
         home.path() + "/documents/",
         CdError::NoSuchTrack,
         {"1 to 2"}},
        {"the track file cannot be created",
         {music + "disc.cue", QStringLiteral("Mix"), {}},
         home.path() + "/taken/",
         CdError::CannotCreateFile,
         {"Cannot create file", home.path() + "/taken/Mix/.Track01.wav.part"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        CdBatchRipper ripper;
        const CdBatchRip rip = ripper.rip(c.request, c.cdInputFolder);
        ASSERT_TRUE(rip.failure.has_value());
        EXPECT_EQ(rip.failure->kind, c.kind);
        for (const QString& part : c.named) {
            EXPECT_TRUE(rip.failure->message.contains(part)) << rip.failure->message.toStdString();
        }
        EXPECT_TRUE(rip.disc.tracks.empty());
    }
}

// SIGTERM ends the run at once: no tool of ours goes on, and nothing half-written is left.
TEST_F(Batch, TerminationCleansUpAndSaysSo)
{
    useProgramFolderWithTools({{"soundstretch.exe",
                                "echo $$ > \"$HOME/stretch.pid\"\n\"$REAL\" \"$@\"\n"
                                "while :; do sleep 0.05; done\n"}});
    writeToneWav(music + "a.wav", 440.0, 1.0);
    writeToneWav(music + "b.wav", 440.0, 1.0);
    QProcess batch;
    start(batch, {"--frequency", "432", "a.wav", "b.wav"});
    const QString pidFile = home.path() + "/stretch.pid";
    ASSERT_TRUE(waitUntil([&] { return !readFile(pidFile).trimmed().isEmpty(); }));
    const pid_t stretch = readFile(pidFile).trimmed().toInt();
    ASSERT_TRUE(waitUntil([&] { return workFileExists("output.wav"); }));
    ::kill(static_cast<pid_t>(batch.processId()), SIGTERM);
    ASSERT_TRUE(batch.waitForFinished(10000));
    EXPECT_EQ(batch.exitCode(), 143);
    EXPECT_FALSE(alive(stretch));
    for (const char* name : {"input.wav", "output.wav"}) {
        EXPECT_FALSE(workFileExists(name)) << name;
    }
    EXPECT_TRUE(tree(home.outputFolder()).isEmpty());
    const QByteArray out = batch.readAllStandardOutput();
    EXPECT_TRUE(out.contains("a.wav\t-\t-\taborted")) << out.toStdString();
    EXPECT_TRUE(out.contains("b.wav\t-\t-\taborted")) << out.toStdString();
}

// Without XDG_RUNTIME_DIR (cron, su) a second run still finds the first one and leaves its work
// files alone.
TEST_F(Batch, ASecondRunWithoutTheRuntimeFolderIsRefused)
{
    useProgramFolderWithTools({{"soundstretch.exe",
                                "touch \"$HOME/stretching\"\n"
                                "while :; do sleep 0.05; done\n"}});
    writeToneWav(music + "a.wav", 440.0, 1.0);
    QProcess first;
    start(first, {"--frequency", "432", "a.wav"});
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(home.path() + "/stretching"); }));

    QProcess second;
    start(second, {"--frequency", "432", "a.wav"}, QString(), {"XDG_RUNTIME_DIR"});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 3);
    EXPECT_TRUE(second.readAllStandardError().contains("Quorvane is already started!"));
    EXPECT_TRUE(workFileExists("input.wav"));  // the first run's, untouched

    ::kill(static_cast<pid_t>(first.processId()), SIGINT);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 130);
}

// The output disk fills up while the file is written: the row says "disk full", nothing is left
// under the output's name. The disk is a small memory file system of a mount namespace of its
// own, which needs the right to mount.
TEST_F(Batch, AFullOutputDiskIsReportedAndLeavesNothingBehind)
{
    const QString small = home.outputFolder();
    QDir().mkpath(small);
    QProcess probe;
    probe.start("unshare", {"-m", "sh", "-c", "mount -t tmpfs -o size=64k tmpfs \"$0\"", small});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0) {
        GTEST_SKIP() << "mounting a small file system is not allowed here";
    }
    writeToneWav(music + "a.wav", 440.0, 3.0);  // 0.5 MB in, more out
    const QByteArray before = readFile(music + "a.wav");
    QProcess batch;
    batch.setWorkingDirectory(music);
    batch.start("unshare",
                {"-m", "sh", "-c",
                 "mount -t tmpfs -o size=256k tmpfs \"$0\" && \"$1\" --frequency 432 a.wav;"
                 " s=$?; find \"$0\" -type f; exit $s",
                 small, program});
    ASSERT_TRUE(batch.waitForFinished(120000));
    const QByteArray out = batch.readAllStandardOutput();
    EXPECT_EQ(batch.exitCode(), 1) << batch.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("\tfailed\tdisk full\n")) << out.toStdString();
    EXPECT_FALSE(out.contains(small.toUtf8() + "432 Hz")) << out.toStdString();  // no file left
    EXPECT_EQ(readFile(music + "a.wav"), before);
}

// kill -9 gives the batch no chance to clean up: its tools die with it all the same, and the
// half-written output it leaves is removed by the next run into that folder, which does not take
// it for a source either.
TEST_F(Batch, AHardKillLeavesNoToolRunningAndTheNextRunNoPartialOutput)
{
    // The encoder writes a little of its output and then waits for good, under its own id.
    useProgramFolderWithTools(
        {{"lame.exe",
          "for a in \"$@\"; do [ \"$a\" = --decode ] && exec \"$REAL\" \"$@\"; done\n"
          "for last in \"$@\"; do :; done\n"
          "printf 'half an mp3' > \"$last\"\n"
          "echo $$ > \"$HOME/encoder.pid\"\n"
          "exec sleep 60\n"}});
    ASSERT_TRUE(makeTone(music + "a.mp3", 440.0, 1.0));
    const QByteArray source = readFile(music + "a.mp3");
    QProcess batch;
    start(batch, {"--frequency", "432", "a.mp3"});
    const QString pidFile = home.path() + "/encoder.pid";
    ASSERT_TRUE(waitUntil([&] { return !readFile(pidFile).trimmed().isEmpty(); }));
    const pid_t encoder = readFile(pidFile).trimmed().toInt();
    ::kill(static_cast<pid_t>(batch.processId()), SIGKILL);
    ASSERT_TRUE(batch.waitForFinished(10000));

    EXPECT_TRUE(waitUntil([&] { return !alive(encoder); }, 2000)) << "the encoder outlived us";
    if (alive(encoder)) {
        ::kill(encoder, SIGKILL);  // ours: the test started the batch that started it
    }
    const QStringList left = tree(outputFolder());
    ASSERT_EQ(left.size(), 1) << tree(home.path()).join(", ").toStdString();
    EXPECT_TRUE(QFileInfo(left.first()).fileName().startsWith(".quorvane-"))
        << left.first().toStdString();

    // The next run, with the real tools, is also handed the folder that holds the partial output.
    program = QStringLiteral(QUORVANE_PROGRAM_DIR "/quorvane-batch");
    const BatchRun next = run({"--frequency", "432", "--subfolders", "a.mp3", outputFolder()});
    EXPECT_EQ(next.exitCode, 0) << next.out.toStdString() << next.err.toStdString();
    EXPECT_EQ(next.out.count('\n'), 1) << next.out.toStdString();
    EXPECT_EQ(tree(outputFolder()), QStringList{outputFolder() + "a-432 Hz.mp3"});
    EXPECT_EQ(readFile(music + "a.mp3"), source);
}

// A file named twice, and again through a link and through its folder, is converted once.
TEST_F(Batch, TheSameFileReachedSeveralWaysIsConvertedOnce)
{
    writeToneWav(music + "a.wav", 440.0, 1.0);
    ASSERT_EQ(::symlink("a.wav", toNativeBytes(music + "link.wav").c_str()), 0);
    const QByteArray source = readFile(music + "a.wav");
    const BatchRun twice = run({"--frequency", "432", "a.wav", "a.wav", "link.wav", music});
    EXPECT_EQ(twice.exitCode, 0) << twice.err.toStdString();
    EXPECT_EQ(twice.out.count('\n'), 1) << twice.out.toStdString();
    EXPECT_TRUE(twice.err.contains("1 converted, 0 failed")) << twice.err.toStdString();
    EXPECT_EQ(tree(outputFolder()), QStringList{outputFolder() + "a-432 Hz.wav"});
    EXPECT_EQ(readFile(music + "a.wav"), source);
    EXPECT_EQ(SymbolicLinkTarget(music + "link.wav"), "a.wav");
}

// Names that lead to no file of a supported kind are refused with that reason, not as a failed
// decode.
TEST_F(Batch, NamesOfNoSupportedFileSaySo)
{
    ASSERT_EQ(::symlink("gone.mp3", toNativeBytes(music + "dangling.mp3").c_str()), 0);
    writeFile(music + "notes.txt", "not music");
    writeFile(music + ".quorvane-1-0.part.mp3", "half an output");
    const BatchRun refused = run({"--frequency", "432", "dangling.mp3", "notes.txt", "missing.flac",
                                  ".quorvane-1-0.part.mp3"});
    EXPECT_EQ(refused.exitCode, 1);
    for (const char* name :
         {"dangling.mp3", "notes.txt", "missing.flac", ".quorvane-1-0.part.mp3"}) {
        EXPECT_TRUE(
            refused.out.contains(music.toUtf8() + name + "\t-\t-\tfailed\tnot a supported file\n"))
            << name << "\n"
            << refused.out.toStdString();
    }
    EXPECT_EQ(readFile(music + "notes.txt"), "not music");
    EXPECT_EQ(SymbolicLinkTarget(music + "dangling.mp3"), "gone.mp3");
}

// The work folder's disk fills up: every row that cannot be done says "disk full", never that a
// tool is missing or failed, also when a job beside it freed room since. The work folder is a
// small memory file system of a mount namespace of its own, which needs the right to mount.
TEST_F(Batch, AFullWorkFolderIsDiskFull)
{
    const QString work = home.workFolder();
    QDir().mkpath(work);
    QProcess probe;
    probe.start("unshare", {"-m", "sh", "-c", "mount -t tmpfs -o size=64k tmpfs \"$0\"", work});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0) {
        GTEST_SKIP() << "mounting a small file system is not allowed here";
    }
    writeToneWav(music + "a.wav", 440.0, 3.0);
    writeToneWav(music + "b.wav", 440.0, 3.0);
    ASSERT_TRUE(makeTone(music + "c.mp3", 440.0, 3.0));
    const QByteArray before = readFile(music + "a.wav");
    // Room for the decoded MP3 and not a page more: the batch file of the stretch finds none.
    // Then room for about two decoded files shared by two jobs.
    QProcess decode;
    decode.start("lame", {"--quiet", "--decode", music + "c.mp3", home.path() + "/c.wav"});
    ASSERT_TRUE(decode.waitForFinished(20000));
    const qint64 decoded = QFileInfo(home.path() + "/c.wav").size();
    ASSERT_GT(decoded, 0);
    const struct {
        qint64 bytes;
        QStringList files;
    } cases[] = {
        {(decoded + 4095) / 4096 * 4096, {"c.mp3"}},
        {1060 * 1024, {"a.wav", "b.wav", "c.mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        QProcess batch;
        batch.setWorkingDirectory(music);
        batch.start("unshare", QStringList{"-m", "sh", "-c",
                                           "mount -t tmpfs -o size=\"$0\" tmpfs \"$1\" && "
                                           "shift && exec \"$@\"",
                                           QString::number(c.bytes), work, program, "--frequency",
                                           "432", "--jobs", "2"} +
                                   c.files);
        ASSERT_TRUE(batch.waitForFinished(120000));
        const QByteArray out = batch.readAllStandardOutput();
        const QByteArray err = batch.readAllStandardError();
        EXPECT_EQ(batch.exitCode(), 1) << err.toStdString();
        EXPECT_TRUE(out.contains("\tfailed\tdisk full\n")) << out.toStdString();
        for (const char* wrong : {"tool missing", "time stretch failed", "decoder failed"}) {
            EXPECT_FALSE(out.contains(wrong)) << out.toStdString();
        }
        EXPECT_FALSE(err.contains("Unable to execute")) << err.toStdString();
    }
    EXPECT_EQ(readFile(music + "a.wav"), before);
}

// A file and a folder mounted a second time inside the folder named (bind mounts) are taken once.
// The mounts live in a mount namespace of their own, which needs the right to mount.
TEST_F(Batch, WhatIsBoundASecondTimeIsConvertedOnce)
{
    QDir().mkpath(music + "album");
    QDir().mkpath(music + "copy");
    writeToneWav(music + "album/a.wav", 440.0, 1.0);
    writeFile(music + "single.wav", "");
    const QByteArray source = readFile(music + "album/a.wav");
    QProcess batch;
    batch.setWorkingDirectory(music);
    batch.start("unshare", {"-m", "sh", "-c",
                            "mount --bind album copy && mount --bind album/a.wav single.wav || "
                            "exit 99; exec \"$0\" --frequency 432 --subfolders .",
                            program});
    ASSERT_TRUE(batch.waitForFinished(120000));
    if (batch.exitCode() == 99) {
        GTEST_SKIP() << "mounting is not allowed here";
    }
    const QByteArray out = batch.readAllStandardOutput();
    EXPECT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    EXPECT_EQ(out.count('\n'), 1) << out.toStdString();
    EXPECT_TRUE(out.contains(music.toUtf8() + "single.wav\t")) << out.toStdString();
    EXPECT_EQ(readFile(music + "album/a.wav"), source);
    EXPECT_EQ(readFile(music + "single.wav"), "");
}
