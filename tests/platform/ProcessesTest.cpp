#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "platform/Processes.h"
#include "platform/Spawn.h"
#include "platform/WorkPriority.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

using namespace qvr;
using qvr::test::readFile;
using qvr::test::waitUntil;
using qvr::test::writeFile;

namespace {

void writeScript(const QString& path, const QByteArray& body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    ::chmod(toNativeBytes(path).c_str(), 0755);
}

}  // namespace

class ProcessesTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
};

// Runs a tool to its end and answers how it ended.
ToolStatus runToEnd(ToolProcesses& tools, pid_t pid)
{
    ToolStatus status;
    EXPECT_TRUE(waitUntil([&] {
        status = tools.status(pid);
        return !status.running();
    }));
    return status;
}

// A process that has ended but waits to be reaped by whoever adopted it counts as gone.
bool alive(pid_t pid)
{
    const QByteArray stat = readFile(QString("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() && stat.at(close + 2) != 'Z';
}

TEST_F(ProcessesTest, AMissingProgramIsNotStarted)
{
    ToolProcesses tools;
    EXPECT_EQ(tools.start(folder, "lame.exe", {"--decode"}), -1);
    EXPECT_FALSE(tools.anyRunning());
}

TEST_F(ProcessesTest, EveryArgumentReachesTheToolUntouched)
{
    // The tool writes each argument on a line of its own, in its working folder.
    writeScript(folder + "echo.exe",
                "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
                "pwd > where.txt\nexit 3\n");
    const QString oddName = fromNativeBytes(std::string("caf\xE9.mp3"));
    ToolProcesses tools;
    const pid_t pid =
        tools.start(folder, "echo.exe",
                    {"/m/My Song.mp3", "it's \"quoted\"", "$HOME; rm -rf x", "-b", oddName, ""});
    ASSERT_GT(pid, 0);
    const ToolStatus status = runToEnd(tools, pid);
    EXPECT_EQ(status.state, ToolStatus::State::Exited);
    EXPECT_EQ(status.code, 3);
    EXPECT_FALSE(status.succeeded());
    EXPECT_EQ(readFile(folder + "args.txt"),
              QByteArray("/m/My Song.mp3\nit's \"quoted\"\n$HOME; rm -rf x\n-b\ncaf\xE9.mp3\n\n"));
    EXPECT_EQ(readFile(folder + "where.txt").trimmed(), dir.path().toUtf8());
}

TEST_F(ProcessesTest, HowAToolEndedIsRead)
{
    struct Case {
        const char* body;
        ToolStatus::State state;
        int code;
        bool notRunnable;
    } cases[] = {
        {"exit 0\n", ToolStatus::State::Exited, 0, false},
        {"exit 1\n", ToolStatus::State::Exited, 1, false},
        {"exit 127\n", ToolStatus::State::Exited, 127, true},  // as the loader ends a tool
        {"kill -9 $$\n", ToolStatus::State::Signalled, SIGKILL, false},
    };
    ToolProcesses tools;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        writeScript(folder + "t.exe", c.body);
        const ToolStatus status = runToEnd(tools, tools.start(folder, "t.exe", {}));
        EXPECT_EQ(status.state, c.state);
        EXPECT_EQ(status.code, c.code);
        EXPECT_EQ(status.notRunnable(), c.notRunnable);
    }
}

TEST_F(ProcessesTest, ToolsGetNoInputToWaitFor)
{
    writeScript(folder + "reader.exe", "cat > got.txt\n");
    ToolProcesses tools;
    runToEnd(tools, tools.start(folder, "reader.exe", {}));
    EXPECT_EQ(readFile(folder + "got.txt"), "");
}

// The tools, started by themselves or through a batch file, run nicer than this program, so its
// window and jobs get the processor first however many tools run.
TEST_F(ProcessesTest, ToolsRunNicerThanTheProgram)
{
    writeScript(folder + "tool.exe", "nice > niceness.txt\n");
    writeFile(folder + "conv.bat", ("cd /d \"" + folder + "\"\r\ntool.exe\r\n").toUtf8());
    const int own = ::getpriority(PRIO_PROCESS, 0);
    struct Case {
        const char* how;
        std::function<pid_t(ToolProcesses&)> start;
    };
    const Case cases[] = {
        {"started", [&](ToolProcesses& tools) { return tools.start(folder, "tool.exe", {}); }},
        {"through a batch file",
         [&](ToolProcesses& tools) { return tools.startBatch(folder + "conv.bat"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QFile::remove(folder + "niceness.txt");
        ToolProcesses tools;
        const pid_t pid = c.start(tools);
        ASSERT_GT(pid, 0);
        EXPECT_TRUE(runToEnd(tools, pid).succeeded());
        EXPECT_EQ(readFile(folder + "niceness.txt").trimmed().toInt(),
                  std::min(19, own + qvr::kWorkNiceness));
    }
}

TEST_F(ProcessesTest, ABatchFileRunsInItsFolder)
{
    QDir().mkpath(folder + "work dir");
    const QString work = folder + "work dir/";
    writeScript(work + "tool.exe", "printf '%s|' \"$@\" > out.txt\n");
    writeFile(work + "conv.bat",
              ("cd /d \"" + work + "\"\r\ntool.exe input.wav output.wav -rate=-1.5\r\n").toUtf8());
    ToolProcesses tools;
    const pid_t pid = tools.startBatch(work + "conv.bat");
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(runToEnd(tools, pid).succeeded());
    EXPECT_EQ(readFile(work + "out.txt"), "input.wav|output.wav|-rate=-1.5|");
}

TEST_F(ProcessesTest, ABatchFileWhoseProgramIsMissingIsNotStarted)
{
    writeFile(folder + "conv.bat", ("cd /d \"" + folder + "\"\r\nnothere.exe a b\r\n").toUtf8());
    ToolProcesses tools;
    EXPECT_EQ(tools.startBatch(folder + "conv.bat"), -1);
}

TEST_F(ProcessesTest, EndingAToolEndsWhatItStartedToo)
{
    // The tool leaves a grandchild that writes its process id and would run on for a minute.
    writeScript(folder + "ffmpeg.exe", "sleep 60 & echo $! > child.txt\nwait\n");
    ToolProcesses tools;
    const pid_t pid = tools.start(folder, "ffmpeg.exe", {});
    ASSERT_TRUE(waitUntil([&] { return !readFile(folder + "child.txt").trimmed().isEmpty(); }));
    const pid_t child = readFile(folder + "child.txt").trimmed().toInt();
    tools.end(pid);
    EXPECT_FALSE(tools.anyRunning());
    EXPECT_TRUE(waitUntil([&] { return !alive(child); }));
    EXPECT_EQ(tools.status(pid).state, ToolStatus::State::Signalled);
}

// A process of the user's whose command line names a tool is never touched: only what this
// program started is closed.
TEST_F(ProcessesTest, CloseToolWindowEndsOnlyOurOwnTool)
{
    const QByteArray loop = "while :; do sleep 0.05; done\n";
    writeScript(folder + "soundstretch.exe", loop);
    writeScript(folder + "other.exe", loop);
    // The decoy: started by the test, not through ToolProcesses, with the same name.
    const pid_t decoy = SpawnHidden(folder + "soundstretch.exe", {"decoy"}, folder);
    ASSERT_GT(decoy, 0);
    ToolProcesses tools;
    const pid_t other = tools.start(folder, "other.exe", {});
    const pid_t tool = tools.start(folder, "soundstretch.exe", {"input.wav"});
    ASSERT_GT(tool, 0);

    tools.CloseToolWindow("soundstretch.exe");
    EXPECT_FALSE(tools.status(tool).running());
    EXPECT_TRUE(tools.status(other).running());
    EXPECT_FALSE(ChildHasEnded(decoy));

    tools.CloseToolWindow("soundstretch.exe");  // nothing of ours matches any more
    EXPECT_FALSE(ChildHasEnded(decoy));
    tools.endAll();
    EXPECT_FALSE(tools.status(other).running());
    EXPECT_FALSE(ChildHasEnded(decoy));
    ::kill(decoy, SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return ChildHasEnded(decoy); }));
}

TEST_F(ProcessesTest, ToolsStillRunningEndWithTheirOwner)
{
    writeScript(folder + "lame.exe", "while :; do sleep 0.05; done\n");
    pid_t pid = -1;
    {
        ToolProcesses tools;
        pid = tools.start(folder, "lame.exe", {});
        ASSERT_GT(pid, 0);
    }
    EXPECT_FALSE(alive(pid));
}

// Whether a process still runs: this one does; one that ended does not, reaped or not.
TEST_F(ProcessesTest, ARunningProcessIsToldFromOneThatEnded)
{
    EXPECT_TRUE(ProcessIsRunning(::getpid()));
    EXPECT_FALSE(ProcessIsRunning(0));
    EXPECT_FALSE(ProcessIsRunning(-1));
    const pid_t unreaped = ::fork();
    if (unreaped == 0) {
        ::_exit(0);
    }
    ASSERT_TRUE(waitUntil([&] { return !alive(unreaped); }));
    EXPECT_FALSE(ProcessIsRunning(unreaped));
    ::waitpid(unreaped, nullptr, 0);
    EXPECT_FALSE(ProcessIsRunning(unreaped));
}

// A tool is started by forking, so it can be bound to this program's life: what keeps the
// program from running still answers -1 at once, and the working folder and arguments arrive.
TEST_F(ProcessesTest, AToolThatCannotRunIsNotStarted)
{
    writeScript(folder + "bad.exe", "");
    writeFile(folder + "bad.exe", "#!/no/such/shell\n");
    writeScript(folder + "good.exe", "pwd > where.txt\n");
    ToolProcesses tools;
    EXPECT_EQ(tools.start(folder, "bad.exe", {}), -1);
    EXPECT_EQ(tools.start(folder + "missing/", folder + "good.exe", {}), -1);
    EXPECT_FALSE(tools.anyRunning());
    const pid_t good = tools.start(folder, "good.exe", {});
    ASSERT_GT(good, 0);
    EXPECT_TRUE(runToEnd(tools, good).succeeded());
    EXPECT_EQ(readFile(folder + "where.txt").trimmed(), QDir(folder).canonicalPath().toUtf8());
}
