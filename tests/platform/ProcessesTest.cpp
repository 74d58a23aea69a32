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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <semaphore>
#include <thread>

using namespace qvr;
using qvr::test::readFile;
using qvr::test::waitForEvents;
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
ToolStatus runToEnd(ToolProcesses& tools, ToolId tool)
{
    ToolStatus status;
    EXPECT_TRUE(waitForEvents([&] {
        status = tools.status(tool);
        return !status.running();
    }));
    return status;
}

// The tool's process, once the launcher has started it.
pid_t processOf(ToolProcesses& tools, ToolId tool)
{
    std::optional<pid_t> pid;
    EXPECT_TRUE(waitForEvents([&] { return (pid = tools.processOf(tool)).has_value(); }));
    return pid.value_or(-1);
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
    EXPECT_EQ(tools.start(folder, "lame.exe", {"--decode"}), kNoTool);
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
    const ToolId tool =
        tools.start(folder, "echo.exe",
                    {"/m/My Song.mp3", "it's \"quoted\"", "$HOME; rm -rf x", "-b", oddName, ""});
    ASSERT_NE(tool, kNoTool);
    const ToolStatus status = runToEnd(tools, tool);
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
// window and jobs get the processor first however many tools run. They stay in this program's
// session (a process group of their own): where the system shares the processor between sessions,
// a tool in a session of its own would count as much as the whole program, niceness or not.
TEST_F(ProcessesTest, ToolsYieldToTheProgram)
{
    writeScript(folder + "tool.exe",
                "nice > niceness.txt\n"
                "read -r pid comm state ppid group session rest < /proc/$$/stat\n"
                "echo \"$pid $group $session\" > ids.txt\n");
    writeFile(folder + "conv.bat", ("cd /d \"" + folder + "\"\r\ntool.exe\r\n").toUtf8());
    const int own = ::getpriority(PRIO_PROCESS, 0);
    struct Case {
        const char* how;
        std::function<ToolId(ToolProcesses&)> start;
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
        const ToolId tool = c.start(tools);
        ASSERT_NE(tool, kNoTool);
        EXPECT_TRUE(runToEnd(tools, tool).succeeded());
        EXPECT_EQ(readFile(folder + "niceness.txt").trimmed().toInt(),
                  std::min(19, own + qvr::kToolNiceness));
        const QList<QByteArray> ids = readFile(folder + "ids.txt").trimmed().split(' ');
        ASSERT_EQ(ids.size(), 3);
        EXPECT_EQ(ids[1], ids[0]) << "a process group of its own";
        EXPECT_EQ(ids[2].toInt(), ::getsid(0)) << "this program's session";
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
    const ToolId tool = tools.startBatch(work + "conv.bat");
    ASSERT_NE(tool, kNoTool);
    EXPECT_TRUE(runToEnd(tools, tool).succeeded());
    EXPECT_EQ(readFile(work + "out.txt"), "input.wav|output.wav|-rate=-1.5|");
}

TEST_F(ProcessesTest, ABatchFileWhoseProgramIsMissingIsNotStarted)
{
    writeFile(folder + "conv.bat", ("cd /d \"" + folder + "\"\r\nnothere.exe a b\r\n").toUtf8());
    ToolProcesses tools;
    EXPECT_EQ(tools.startBatch(folder + "conv.bat"), kNoTool);
}

TEST_F(ProcessesTest, EndingAToolEndsWhatItStartedToo)
{
    // The tool leaves a grandchild that writes its process id and would run on for a minute.
    writeScript(folder + "ffmpeg.exe", "sleep 60 & echo $! > child.txt\nwait\n");
    ToolProcesses tools;
    const ToolId tool = tools.start(folder, "ffmpeg.exe", {});
    ASSERT_TRUE(waitUntil([&] { return !readFile(folder + "child.txt").trimmed().isEmpty(); }));
    const pid_t child = readFile(folder + "child.txt").trimmed().toInt();
    tools.end(tool);
    EXPECT_FALSE(tools.anyRunning());
    EXPECT_TRUE(waitUntil([&] { return !alive(child); }));
    EXPECT_EQ(tools.status(tool).state, ToolStatus::State::Signalled);
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
    const ToolId other = tools.start(folder, "other.exe", {});
    const ToolId tool = tools.start(folder, "soundstretch.exe", {"input.wav"});
    ASSERT_NE(tool, kNoTool);

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
        pid = processOf(tools, tools.start(folder, "lame.exe", {}));
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

// What keeps a program from running is told as "not started", never as a tool that ran and
// failed; the working folder and arguments of one that runs arrive.
TEST_F(ProcessesTest, AToolThatCannotRunIsNotStarted)
{
    writeFile(folder + "bad.exe", "#!/no/such/shell\n");
    ::chmod(toNativeBytes(folder + "bad.exe").c_str(), 0755);
    writeScript(folder + "good.exe", "pwd > where.txt\n");
    struct Case {
        const char* what;
        QString folder;
        QString program;
    } cases[] = {
        {"an interpreter that is not there", folder, "bad.exe"},
        {"a working folder that is not there", folder + "missing/", folder + "good.exe"},
    };
    ToolProcesses tools;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolId tool = tools.start(c.folder, c.program, {});
        ASSERT_NE(tool, kNoTool);
        const ToolStatus status = runToEnd(tools, tool);
        EXPECT_EQ(status.state, ToolStatus::State::NotStarted);
        EXPECT_TRUE(status.notRunnable());
    }
    EXPECT_FALSE(tools.anyRunning());
    const ToolId good = tools.start(folder, "good.exe", {});
    EXPECT_TRUE(runToEnd(tools, good).succeeded());
    EXPECT_EQ(readFile(folder + "where.txt").trimmed(), QDir(folder).canonicalPath().toUtf8());
}

// On a busy machine the system takes a while to run a new program; the caller (the window's
// thread) goes on meanwhile, the tool counts as running, and a tool ended before it ran is killed
// as soon as it does. The system's slowness is played by a start that waits for the test.
TEST_F(ProcessesTest, StartingAToolNeverHoldsTheCaller)
{
    writeScript(folder + "tool.exe", "sleep 30\n");
    std::binary_semaphore release(0);
    std::atomic<pid_t> started{0};
    ToolProcesses tools([&](const ToolLauncher::Request& request) {
        release.acquire();
        const pid_t pid =
            SpawnHidden(request.program, request.arguments, request.folder, ChildLife::EndsWithUs);
        started = pid;
        return pid;
    });
    // Should start() wait for the system after all, this lets it go on so the test can fail.
    std::atomic<bool> held{false};
    std::thread guard([&] {
        for (int i = 0; i < 500 && started == 0 && !held; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!held) {
            held = true;
            release.release();
        }
    });
    const ToolId tool = tools.start(folder, "tool.exe", {});
    const bool returnedWhileStarting = !held.exchange(true);
    guard.join();
    EXPECT_TRUE(returnedWhileStarting);
    EXPECT_TRUE(tools.status(tool).running());
    EXPECT_FALSE(tools.processOf(tool).has_value());

    QSignalSpy changes(&tools, &ToolProcesses::toolChanged);
    tools.end(tool);
    EXPECT_FALSE(tools.anyRunning());
    if (returnedWhileStarting) {
        release.release();
    }
    ASSERT_TRUE(waitForEvents([&] { return started > 0 && !alive(started); }, 5000));
    EXPECT_EQ(tools.status(tool).state, ToolStatus::State::Signalled);
    EXPECT_TRUE(changes.isEmpty());  // an ended tool is not reported again
}
