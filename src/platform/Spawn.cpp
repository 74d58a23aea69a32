#include "Spawn.h"

#include <optional>

#include "NativePath.h"
#include "WorkPriority.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace qvr {
namespace {

struct SpawnAttributes {
    posix_spawnattr_t attr{};
    posix_spawn_file_actions_t actions{};
    SpawnAttributes()
    {
        posix_spawnattr_init(&attr);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnAttributes()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
};

// The signals a started program gets with their default action, whatever this one does with them.
sigset_t signalsSetToDefault()
{
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    return defaults;
}

// In the child, between vfork and exec: only calls that are safe after a fork of a program with
// threads. Answers the error that kept the program from starting.
int prepareToolChild(pid_t parent, const std::string& folder)
{
    // Killed as soon as the starting thread ends; a parent that died before this line was
    // already replaced (the child was re-parented), so the child goes at once.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) {
        return ESRCH;
    }
    // A process group of its own, so that ending the tool ends what it started; but the session
    // stays ours: where the system shares the processor between sessions (autogroups), a tool in
    // a session of its own would get as much as the whole program, its niceness counting only
    // against itself, and the window would wait behind every running tool.
    if (::setpgid(0, 0) < 0) {
        return errno;
    }
    // Handlers of this program must not run in the child; the program starts with a clean mask.
    const sigset_t defaults = signalsSetToDefault();
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction action {};
        if (::sigaction(signal, nullptr, &action) != 0) {
            continue;
        }
        const bool caught = action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
        if (caught || sigismember(&defaults, signal) == 1) {
            action = {};
            action.sa_handler = SIG_DFL;
            ::sigaction(signal, &action, nullptr);
        }
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
        return errno;
    }
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) {
        return errno;
    }
    if (in > 2) {
        ::close(in);
    }
    if (out > 2) {
        ::close(out);
    }
    return 0;
}

// posix_spawn cannot ask for the parent-death signal, so tools are started with vfork: the child
// borrows this program's memory until it runs the tool, where fork would copy the page tables of
// a large program and the child would take them down again in exec, which on a busy machine held
// the window for tens of milliseconds a tool. Meanwhile this thread waits and the child makes
// system calls only; its signal handlers, folder and files are its own. The child tells why it
// could not start through a pipe that closes by itself once the program runs.
pid_t forkTool(const std::vector<char*>& argv, const std::string& folder)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return -1;
    }
    // No handler of ours may run in the child before its signals are reset.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &before);
    const pid_t parent = ::getpid();
    const pid_t pid = ::vfork();
    if (pid == 0) {
        ::close(report[0]);
        int error = prepareToolChild(parent, folder);
        if (error == 0) {
            // The tool yields to the window; the child waited for it at the parent's priority.
            static_cast<void>(::nice(kToolNiceness));
            ::execve(argv[0], argv.data(), environ);
            error = errno;
        }
        [[maybe_unused]] const ssize_t told = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return -1;
    }
    int error = 0;
    ssize_t n = 0;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return -1;
    }
    return pid;
}

}  // namespace

pid_t SpawnHidden(const QString& programPath, const QStringList& arguments,
                  const QString& workingFolder, ChildLife life)
{
    std::vector<std::string> words{toNativeBytes(programPath)};
    words.reserve(static_cast<std::size_t>(arguments.size()) + 1);
    for (const QString& argument : arguments) {
        words.push_back(toNativeBytes(argument));
    }
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const std::string folder = toNativeBytes(workingFolder);
    if (life == ChildLife::EndsWithUs) {
        return forkTool(argv, folder);
    }

    SpawnAttributes spawn;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults = signalsSetToDefault();
    posix_spawnattr_setsigmask(&spawn.attr, &none);
    posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    posix_spawnattr_setflags(&spawn.attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&spawn.actions, folder.c_str());
    }
    posix_spawn_file_actions_addopen(&spawn.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&spawn.actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&spawn.actions, 1, 2);

    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &spawn.actions, &spawn.attr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

bool ChildHasEnded(pid_t pid)
{
    if (pid <= 0) {
        return true;
    }
    const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
}

std::optional<int> ChildExitStatus(pid_t pid)
{
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == 0) {
        return std::nullopt;
    }
    if (r != pid) {
        return 127;  // not a child of ours any more: nothing can be told
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A thread of its own waits for the child: nobody else has to remember it, and the thread ends
// with the child (or with this program).
void AdoptChild(pid_t pid)
{
    if (pid > 0) {
        std::thread([pid] {
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
}

}  // namespace qvr
