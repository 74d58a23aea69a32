#include "BatchFixture.h"
#include "app/BatchFrontEnd.h"
#include "app/BatchProgress.h"
#include "convert/AudioCheck.h"
#include "platform/FileSystem.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"

#include <QProcess>
#include <QSet>

#include <utime.h>

using namespace qvr;
using namespace qvr::test;

namespace {

// A stretch that notes how many stretches run at once and in which folder, and takes a while.
const QByteArray kCountingStretch =
    "touch \"$HOME/running.$$\"; ls \"$HOME\"/running.* | wc -l >> \"$HOME/at-once\"\n"
    "pwd >> \"$HOME/folders\"; sleep 0.4; rm \"$HOME/running.$$\"; exec \"$REAL\" \"$@\"\n";

QList<int> numbersIn(const QByteArray& text)
{
    QList<int> numbers;
    for (const QByteArray& line : text.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            numbers << line.trimmed().toInt();
        }
    }
    return numbers;
}

// Puts a file's modification time `seconds` into the past.
void age(const QString& path, int seconds)
{
    const auto now = ModificationTime(path);
    ASSERT_TRUE(now.has_value());
    utimbuf times{};
    times.actime = time_t(*now / 1'000'000'000 - seconds);
    times.modtime = times.actime;
    ASSERT_EQ(::utime(toNativeBytes(path).c_str(), &times), 0);
}

QList<QByteArray> outcomes(const QByteArray& out)
{
    QList<QByteArray> found;
    for (const QByteArray& line : out.split('\n')) {
        if (!line.isEmpty()) {
            found << line.split('\t').value(0).split('/').last() + ' ' + line.split('\t').value(3);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

TEST(BatchArguments, JobsResumeAndWorkFolder)
{
    struct Case {
        QStringList arguments;
        int jobs;
        bool resume;
        QString workFolder;
        bool error;
    } cases[] = {
        {{"--frequency", "432", "a.mp3"}, 0, false, "", false},
        {{"--frequency", "432", "--jobs", "3", "a.mp3"}, 3, false, "", false},
        {{"--frequency", "432", "--jobs=8", "--resume", "a.mp3"}, 8, true, "", false},
        {{"--frequency", "432", "--work-folder", "w", "a.mp3"}, 0, false, "/m/w", false},
        {{"--frequency", "432", "--work-folder", "/t/w", "a.mp3"}, 0, false, "/t/w", false},
        {{"--frequency", "432", "--jobs", "0", "a.mp3"}, 0, false, "", true},
        {{"--frequency", "432", "--jobs", "many", "a.mp3"}, 0, false, "", true},
    };
    for (const Case& c : cases) {
        const BatchRequest request = ParseBatchArguments(c.arguments, "/m");
        const std::string line = c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.error.isEmpty(), !c.error) << line;
        if (!c.error) {
            EXPECT_EQ(request.jobs, c.jobs) << line;
            EXPECT_EQ(request.resume, c.resume) << line;
            EXPECT_EQ(request.workFolder, c.workFolder) << line;
        }
    }
}

TEST(BatchProgress, OneLineForTheWholeRun)
{
    using std::chrono::seconds;
    struct Case {
        int done;
        int total;
        QStringList running;
        Milliseconds elapsed;
        int width;
        QString line;
    } cases[] = {
        {0, 12, {"a.mp3", "b.flac"}, seconds(3), 200, "0/12 files, 0:03: a.mp3, b.flac"},
        {3, 12, {"d.mp3"}, seconds(30), 200, "3/12 files, 0:30, about 1:30 left: d.mp3"},
        {4, 5000, {}, seconds(8), 200, "4/5000 files, 0:08, about 2:46:32 left"},
        {12, 12, {}, seconds(75), 200, "12/12 files, 1:15"},
        {3, 12, {"d.mp3"}, seconds(30), 10, "3/12 files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BatchProgressLine(c.done, c.total, c.running, c.elapsed, c.width), c.line);
    }
}

TEST_F(Batch, JobsConvertSideBySideInWorkFoldersOfTheirOwn)
{
    useProgramFolderWithTools({{"soundstretch.exe", kCountingStretch}});
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        writeToneWav(music + name, 440.0, 1.0);
    }
    const BatchRun result = run({"--frequency", "432", "--jobs", "2", "."});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(outcomes(result.out), (QList<QByteArray>{"a.wav converted", "b.wav converted",
                                                       "c.wav converted", "d.wav converted"}));
    for (const char* name : {"a", "b", "c", "d"}) {
        EXPECT_NEAR(measurePitch(outputFolder() + name + "-432 Hz.wav"), 432.0, 0.5) << name;
    }
    const QList<int> atOnce = numbersIn(readFile(home.path() + "/at-once"));
    EXPECT_EQ(*std::max_element(atOnce.begin(), atOnce.end()), 2);
    QStringList folders = QString::fromUtf8(readFile(home.path() + "/folders")).split('\n');
    folders.removeAll("");
    folders.removeDuplicates();
    EXPECT_EQ(folders.size(), 2) << folders.join(", ").toStdString();
    for (const QString& folder : folders) {
        EXPECT_TRUE(folder.startsWith(QDir::cleanPath(home.workFolder()) + "/job"))
            << folder.toStdString();
    }
    EXPECT_FALSE(workFileExists("input.wav"));
    EXPECT_FALSE(workFileExists("output.wav"));
}

TEST_F(Batch, OneJobConvertsOneFileAtATime)
{
    useProgramFolderWithTools({{"soundstretch.exe", kCountingStretch}});
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        writeToneWav(music + name, 440.0, 0.5);
    }
    const BatchRun result = run({"--frequency", "432", "--jobs", "1", "."});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(numbersIn(readFile(home.path() + "/at-once")), (QList<int>{1, 1, 1}));
}

TEST_F(Batch, ResumeKeepsCurrentOutputsAndConvertsTheRest)
{
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        writeToneWav(music + name, 440.0, 0.5);
    }
    ASSERT_EQ(run({"--frequency", "432", "a.wav", "b.wav", "c.wav"}).exitCode, 0);
    const QString folder = outputFolder();
    // b's source changed after its output was made; c's output is tuned to another target.
    age(folder + "b-432 Hz.wav", 3600);
    age(music + "b.wav", 60);
    tagFile(folder + "c-432 Hz.wav", {{"TUNING", {"528 Hz (from 440 Hz)"}}});
    const QByteArray a = readFile(folder + "a-432 Hz.wav");

    const BatchRun resumed = run({"--frequency", "432", "--resume", "."});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err.toStdString();
    EXPECT_EQ(outcomes(resumed.out), (QList<QByteArray>{"a.wav kept", "b.wav converted",
                                                        "c.wav converted", "d.wav converted"}));
    EXPECT_TRUE(resumed.out.contains("a.wav\t-\t" + folder.toUtf8() + "a-432 Hz.wav\tkept"));
    EXPECT_TRUE(resumed.err.contains("3 converted, 0 failed, 1 kept")) << resumed.err.toStdString();
    EXPECT_EQ(readFile(folder + "a-432 Hz.wav"), a);

    // Without --resume every output is made again.
    const BatchRun again = run({"--frequency", "432", "."});
    EXPECT_EQ(outcomes(again.out), (QList<QByteArray>{"a.wav converted", "b.wav converted",
                                                      "c.wav converted", "d.wav converted"}));
}

// The recipe for a library too large for one run: one run per folder, each with a work folder
// of its own, at the same time (here on one machine; a scheduler spreads them over several).
TEST_F(Batch, RunsWithWorkFoldersOfTheirOwnRunAtTheSameTime)
{
    useProgramFolderWithTools({{"soundstretch.exe", "sleep 0.3; exec \"$REAL\" \"$@\"\n"}});
    for (const char* album : {"A", "B"}) {
        QDir().mkpath(music + album);
        for (const char* name : {"1.wav", "2.wav"}) {
            writeToneWav(music + album + "/" + name, 440.0, 0.5);
        }
    }
    QProcess first;
    QProcess second;
    start(first, {"--frequency", "432", "--work-folder", home.path() + "/work-A", "A"});
    start(second, {"--frequency", "432", "--work-folder", home.path() + "/work-B", "B"});
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    for (QProcess* run : {&first, &second}) {
        const QByteArray err = run->readAllStandardError();
        EXPECT_EQ(run->exitCode(), 0) << err.toStdString();
        EXPECT_TRUE(err.contains("2 converted, 0 failed")) << err.toStdString();
    }
    for (const char* output :
         {"A/1-432 Hz.wav", "A/2-432 Hz.wav", "B/1-432 Hz.wav", "B/2-432 Hz.wav"}) {
        EXPECT_NEAR(measurePitch(outputFolder() + output), 432.0, 0.5) << output;
    }
}

// Files of the user's in a work folder they name stay byte for byte, with one job and with two:
// the work is done in job folders of the program's own below it.
TEST_F(Batch, UserFilesInANamedWorkFolderAreLeftAlone)
{
    writeToneWav(music + "a.wav", 440.0, 0.5);
    writeToneWav(music + "b.wav", 440.0, 0.5);
    const QByteArray source = readFile(music + "a.wav");
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const QString work = home.path() + "/recordings-" + jobs + "/";
        QDir().mkpath(work);
        const std::map<QString, QByteArray> mine = {
            {"input.wav", "my first recording"}, {"output.wav", "my second recording"},
            {"error.txt", "my notes"},           {"progress.txt", "my progress"},
            {"lame.exe", "my own encoder"},      {"job1/input.wav", "a folder of mine"}};
        for (const auto& [name, bytes] : mine) {
            QDir().mkpath(QFileInfo(work + name).path());
            writeFile(work + name, bytes);
        }
        const BatchRun result =
            run({"--frequency", "432", "--jobs", jobs, "--work-folder", work, "a.wav", "b.wav"});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("2 converted, 0 failed")) << result.err.toStdString();
        for (const auto& [name, bytes] : mine) {
            EXPECT_EQ(readFile(work + name), bytes) << name.toStdString();
        }
        // Nothing of ours lies among the user's files.
        EXPECT_EQ(
            QDir(work).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"error.txt", "input.wav", "lame.exe", "output.wav", "progress.txt"}));
        EXPECT_NEAR(measurePitch(outputFolder() + "a-432 Hz.wav"), 432.0, 0.5);
    }
    EXPECT_EQ(readFile(music + "a.wav"), source);
}

// A work folder that cannot be used is refused with its reason, before anything is written.
TEST_F(Batch, AnUnusableWorkFolderIsRefusedWithItsReason)
{
    writeToneWav(music + "a.wav", 440.0, 0.5);
    const QByteArray source = readFile(music + "a.wav");
    writeFile(home.path() + "/a-file", "mine");
    const struct {
        QString folder;
        QByteArray reason;
    } cases[] = {
        {home.path() + "/a-file", "is a file, not a folder"},
        {home.path() + "/new\nline", "line break"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        const BatchRun result = run({"--frequency", "432", "--work-folder", c.folder, "a.wav"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.contains(c.reason)) << result.err.toStdString();
        EXPECT_FALSE(result.err.contains("already started")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    }
    EXPECT_EQ(readFile(home.path() + "/a-file"), "mine");
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/new\nline"));

    // A folder on a read-only file system, empty and with a file of the user's.
    const QString readOnly = home.path() + "/read-only";
    QDir().mkpath(readOnly);
    writeFile(readOnly + "/mine.txt", "mine");
    for (const QString& options : {QString("ro"), QString("ro,bind")}) {
        SCOPED_TRACE(options.toStdString());
        QProcess batch;
        batch.setWorkingDirectory(music);
        batch.start("unshare",
                    QStringList{"-m", "sh", "-c",
                                options == "ro" ? "mount -t tmpfs -o ro tmpfs \"$0\" && exec \"$@\""
                                                : "mount --bind \"$0\" \"$0\" && mount -o "
                                                  "remount,ro,bind \"$0\" && exec \"$@\"",
                                readOnly, program, "--frequency", "432", "--work-folder", readOnly,
                                "a.wav"});
        ASSERT_TRUE(batch.waitForFinished(120000));
        const QByteArray err = batch.readAllStandardError();
        if (err.contains("mount:") || err.contains("unshare:")) {
            GTEST_SKIP() << "mounting is not allowed here";
        }
        EXPECT_EQ(batch.exitCode(), 2) << err.toStdString();
        EXPECT_TRUE(err.contains("cannot be written to (read-only)")) << err.toStdString();
        EXPECT_FALSE(err.contains("already started")) << err.toStdString();
    }
    EXPECT_EQ(
        QDir(readOnly).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
        QStringList{"mine.txt"});
    EXPECT_EQ(readFile(music + "a.wav"), source);
}

// A file of the user's at an output's name stays; the output takes the next free name and its
// line says so. An earlier output of ours is replaced.
TEST_F(Batch, AForeignFileAtAnOutputsNameIsLeftAlone)
{
    writeToneWav(music + "a.wav", 440.0, 0.5);
    writeToneWav(music + "b.wav", 440.0, 0.5);
    const QByteArray source = readFile(music + "a.wav");
    const QString folder = outputFolder();
    QDir().mkpath(folder);
    writeToneWav(folder + "a-432 Hz.wav", 300.0, 0.3);
    const QByteArray foreign = readFile(folder + "a-432 Hz.wav");

    const BatchRun first = run({"--frequency", "432", "a.wav"});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(readFile(folder + "a-432 Hz.wav"), foreign);
    EXPECT_TRUE(first.out.contains(folder.toUtf8() + "a-432 Hz (2).wav\tconverted\tname taken\n"))
        << first.out.toStdString();
    EXPECT_NEAR(measurePitch(folder + "a-432 Hz (2).wav"), 432.0, 0.5);

    // Our own outputs of the first run are replaced: the numbered one and an unnumbered one.
    ASSERT_EQ(run({"--frequency", "432", "b.wav"}).exitCode, 0);
    age(folder + "a-432 Hz (2).wav", 3600);
    age(folder + "b-432 Hz.wav", 3600);
    const auto before = ModificationTime(folder + "a-432 Hz (2).wav");
    const BatchRun again = run({"--frequency", "432", "a.wav", "b.wav"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(folder.toUtf8() + "a-432 Hz (2).wav\tconverted\tname taken\n"))
        << again.out.toStdString();
    EXPECT_TRUE(again.out.contains(folder.toUtf8() + "b-432 Hz.wav\tconverted\t\n"))
        << again.out.toStdString();
    EXPECT_GT(*ModificationTime(folder + "a-432 Hz (2).wav"), *before);
    EXPECT_GT(*ModificationTime(folder + "b-432 Hz.wav"), *before);
    EXPECT_FALSE(QFileInfo::exists(folder + "a-432 Hz (3).wav"));
    EXPECT_EQ(readFile(folder + "a-432 Hz.wav"), foreign);
    EXPECT_EQ(readFile(music + "a.wav"), source);
}

// Two sources whose outputs clash take "Same-432 Hz.mp3" and "Same-432 Hz (2).mp3": a resumed run
// checks each row against its own output and makes the missing one again.
TEST_F(Batch, ResumeChecksEachRowAgainstItsOwnNumberedOutput)
{
    ASSERT_TRUE(makeTone(music + "Same.mp3", 440.0, 1.0));
    ASSERT_TRUE(makeTone(music + "Same.MP3", 440.0, 2.0));
    const QByteArray sources[] = {readFile(music + "Same.mp3"), readFile(music + "Same.MP3")};
    const BatchRun made = run({"--frequency", "432", "--jobs", "1", "."});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QString folder = outputFolder();
    // Which source took the numbered name follows the order of the list.
    std::map<QByteArray, QByteArray> outputOf;
    for (const QByteArray& line : made.out.split('\n')) {
        if (!line.isEmpty()) {
            outputOf[line.split('\t').value(0).split('/').last()] = line.split('\t').value(2);
        }
    }
    ASSERT_EQ(outputOf.size(), 2u);
    EXPECT_EQ(QSet<QByteArray>({outputOf["Same.mp3"], outputOf["Same.MP3"]}),
              QSet<QByteArray>({(folder + "Same-432 Hz.mp3").toUtf8(),
                                (folder + "Same-432 Hz (2).mp3").toUtf8()}));
    const QString numbered = folder + "Same-432 Hz (2).mp3";
    const QByteArray numberedSource =
        outputOf["Same.mp3"] == numbered.toUtf8() ? "Same.mp3" : "Same.MP3";
    const double numberedSeconds = DecodeAudio(numbered).seconds;

    // Both right: both kept, each line naming its own output.
    const BatchRun kept = run({"--frequency", "432", "--jobs", "1", "--resume", "."});
    EXPECT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    for (const auto& [source, output] : outputOf) {
        EXPECT_TRUE(kept.out.contains(source + "\t-\t" + output + "\tkept"))
            << kept.out.toStdString();
    }

    // The numbered one missing: made again under its own name, from its own source.
    QFile::remove(numbered);
    const BatchRun resumed = run({"--frequency", "432", "--jobs", "1", "--resume", "."});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err.toStdString();
    for (const auto& [source, output] : outputOf) {
        const QByteArray outcome = source == numberedSource ? "converted" : "kept";
        EXPECT_TRUE(resumed.out.contains(source + "\t") &&
                    resumed.out.contains(output + "\t" + outcome))
            << resumed.out.toStdString();
    }
    EXPECT_NEAR(DecodeAudio(numbered).seconds, numberedSeconds, 0.05);
    EXPECT_FALSE(QFileInfo::exists(folder + "Same-432 Hz (3).mp3"));
    EXPECT_EQ(readFile(music + "Same.mp3"), sources[0]);
    EXPECT_EQ(readFile(music + "Same.MP3"), sources[1]);
}

// An output of ours cut to half (an interrupted copy of the output tree) is made again.
TEST_F(Batch, ResumeMakesACutOutputAgain)
{
    for (const char* kind : {"mp3", "flac"}) {
        SCOPED_TRACE(kind);
        const QString name = QString("song.") + kind;
        ASSERT_TRUE(makeTone(music + name, 440.0, 2.0));
        const QByteArray source = readFile(music + name);
        ASSERT_EQ(run({"--frequency", "432", name}).exitCode, 0);
        const QString output = outputFolder() + "song-432 Hz." + kind;
        const double whole = DecodeAudio(output).seconds;
        QByteArray bytes = readFile(output);
        bytes.truncate(bytes.size() / 2);
        writeFile(output, bytes);

        const BatchRun resumed = run({"--frequency", "432", "--resume", name});
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err.toStdString();
        EXPECT_TRUE(resumed.out.contains(output.toUtf8() + "\tconverted"))
            << resumed.out.toStdString();
        EXPECT_FALSE(resumed.out.contains("\tkept")) << resumed.out.toStdString();
        const AudioFacts facts = DecodeAudio(output);
        EXPECT_TRUE(facts.complete);
        EXPECT_NEAR(facts.seconds, whole, 0.05);
        EXPECT_EQ(readFile(music + name), source);
    }
}
