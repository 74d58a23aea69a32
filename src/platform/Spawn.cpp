#include "Spawn.h"

#include <optional>

#include "NativePath.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace qvr {
namespace {

std::set<pid_t>& adoptedChildren()
{
    static std::set<pid_t> children;
    return children;
}

void reapAdopted()
{
    auto& children = adoptedChildren();
    for (auto it = children.begin(); it != children.end();) {
        it = ::waitpid(*it, nullptr, WNOHANG) != 0 ? children.erase(it) : std::next(it);
    }
}

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

}  // namespace

pid_t SpawnHidden(const QString& programPath, const QStringList& arguments,
                  const QString& workingFolder)
{
    reapAdopted();
    std::vector<std::string> words{toNativeBytes(programPath)};
    for (const QString& argument : arguments) {
        words.push_back(toNativeBytes(argument));
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    SpawnAttributes spawn;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&spawn.attr, &none);
    posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    posix_spawnattr_setflags(&spawn.attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const std::string folder = toNativeBytes(workingFolder);
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

void AdoptChild(pid_t pid)
{
    if (pid > 0) {
        adoptedChildren().insert(pid);
    }
}

}  // namespace qvr
