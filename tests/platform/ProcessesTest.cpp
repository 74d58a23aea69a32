#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "platform/Processes.h"
#include "platform/Spawn.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>

using namespace qvr;
using qvr::test::readFile;
using qvr::test::writeFile;

namespace {

void writeScript(const QString& path, const QByteArray& body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    ::chmod(toNativeBytes(path).c_str(), 0755);
}

bool waitUntil(const std::function<bool()>& done, int limitMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

}  // namespace

class ProcessesTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
    test::RecordingHost recorder;
    ScopedHost scoped{recorder};
};

TEST_F(ProcessesTest, RunAndWaitReportsAProgramThatIsMissing)
{
    RunAndWait(folder, "lame.exe", {"--decode"});
    EXPECT_EQ(recorder.plainMessages, QStringList({"Error starting lame.exe"}));
}

TEST_F(ProcessesTest, RunAndWaitHandsOverEveryArgumentUntouched)
{
    // The tool writes each argument on a line of its own, in its working folder.
    writeScript(folder + "echo.exe",
                "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
                "pwd > where.txt\nexit 3\n");
    const QString oddName = fromNativeBytes(std::string("caf\xE9.mp3"));
    RunAndWait(folder, "echo.exe",
               {"/m/My Song.mp3", "it's \"quoted\"", "$HOME; rm -rf x", "-b", oddName, ""});
    EXPECT_TRUE(recorder.plainMessages.isEmpty());
    EXPECT_EQ(readFile(folder + "args.txt"),
              QByteArray("/m/My Song.mp3\nit's \"quoted\"\n$HOME; rm -rf x\n-b\ncaf\xE9.mp3\n\n"));
    EXPECT_EQ(readFile(folder + "where.txt").trimmed(), dir.path().toUtf8());
}

TEST_F(ProcessesTest, RunAndWaitKeepsEventsFlowingWhileTheToolRuns)
{
    writeScript(folder + "slow.exe", "sleep 0.3\n");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    RunAndWait(folder, "slow.exe", {});
    EXPECT_GE(ticks, 5);
}

TEST_F(ProcessesTest, RunAndWaitGivesToolsNoInputToWaitFor)
{
    writeScript(folder + "reader.exe", "cat > got.txt\n");
    RunAndWait(folder, "reader.exe", {});
    EXPECT_EQ(readFile(folder + "got.txt"), "");
}

TEST_F(ProcessesTest, StartHiddenRunsABatchFileInItsFolder)
{
    QDir().mkpath(folder + "work dir");
    const QString work = folder + "work dir/";
    writeScript(work + "tool.exe", "printf '%s|' \"$@\" > out.txt\n");
    writeFile(work + "conv.bat",
              ("cd /d \"" + work + "\"\r\ntool.exe input.wav output.wav -rate=-1.5\r\n").toUtf8());
    pid_t pid = -1;
    ASSERT_TRUE(StartHidden(work + "conv.bat", pid));
    ASSERT_TRUE(waitUntil([&] { return HasEnded(pid); }));
    EXPECT_EQ(readFile(work + "out.txt"), "input.wav|output.wav|-rate=-1.5|");
}

TEST_F(ProcessesTest, StartHiddenRefusesABatchFileWhoseProgramIsMissing)
{
    writeFile(folder + "conv.bat", ("cd /d \"" + folder + "\"\r\nnothere.exe a b\r\n").toUtf8());
    EXPECT_FALSE(StartHidden(folder + "conv.bat"));
}

TEST_F(ProcessesTest, CloseToolWindowEndsOnlyTheMatchingProcess)
{
    const QString loop = "while :; do sleep 0.05; done\n";
    writeScript(folder + "soundstretch.exe", loop.toUtf8());
    writeScript(folder + "other.exe", loop.toUtf8());
    const pid_t other = SpawnHidden(folder + "other.exe", {}, folder);
    const pid_t tool = SpawnHidden(folder + "soundstretch.exe", {"input.wav"}, folder);
    ASSERT_GT(tool, 0);
    ASSERT_GT(other, 0);
    // Wait until both command lines can be read.
    ASSERT_TRUE(waitUntil([&] {
        return readFile(QString("/proc/%1/cmdline").arg(tool)).contains("soundstretch.exe") &&
               readFile(QString("/proc/%1/cmdline").arg(other)).contains("other.exe");
    }));

    CloseToolWindow("soundstretch.exe");
    EXPECT_TRUE(ChildHasEnded(tool));
    EXPECT_FALSE(ChildHasEnded(other));

    CloseToolWindow("other.exe");
    EXPECT_TRUE(ChildHasEnded(other));
}

TEST_F(ProcessesTest, CloseToolWindowWithoutMatchDoesNothing)
{
    CloseToolWindow("no-such-tool-7f3a.exe");
    SUCCEED();
}
