#include "BatchFixture.h"
#include "app/BatchFrontEnd.h"
#include "app/BatchProgress.h"
#include "platform/FileSystem.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"

#include <QProcess>

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
