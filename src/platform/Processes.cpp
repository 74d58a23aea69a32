#include "Processes.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "NativePath.h"
#include "PathStyle.h"
#include "Spawn.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace qvr {
namespace {

bool isExecutableFile(const QString& path)
{
    struct stat st {};
    return FileExists(path) && ::stat(toNativeBytes(path).c_str(), &st) == 0 &&
           ::access(toNativeBytes(path).c_str(), X_OK) == 0;
}

struct BatchCommand {
    QString folder;
    QStringList words;  // program first
};

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        text = text.mid(1, text.size() - 2);
    }
    return text;
}

bool isRemark(const QString& line)
{
    const QString lower = line.toLower();
    return lower.startsWith(u'@') || lower.startsWith(QStringLiteral("rem ")) || lower == u"rem" ||
           lower.startsWith(QStringLiteral("::"));
}

BatchCommand parseBatch(const QString& file)
{
    BatchCommand command;
    command.folder = file.left(std::max<qsizetype>(file.lastIndexOf(u'/'), 0));
    for (const QString& raw : ReadTextLines(file).value_or(QStringList())) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || isRemark(line)) {
            continue;
        }
        if (line.startsWith(QStringLiteral("cd "), Qt::CaseInsensitive)) {
            QString target = line.mid(3).trimmed();
            if (target.startsWith(QStringLiteral("/d "), Qt::CaseInsensitive)) {
                target = target.mid(3);
            }
            command.folder = unquoted(target);
            continue;
        }
        command.words = SplitCommandLine(line);
        break;
    }
    return command;
}

// Identification text of a tool: low 16 bits of its process id, ":", its command line.
QString identification(pid_t pid, const QString& commandLine)
{
    return QString::number(pid & 0xFFFF) + u':' + commandLine;
}

ToolStatus statusFrom(int waitStatus)
{
    if (WIFSIGNALED(waitStatus)) {
        return {ToolStatus::State::Signalled, WTERMSIG(waitStatus)};
    }
    return {ToolStatus::State::Exited, WEXITSTATUS(waitStatus)};
}

}  // namespace

bool ProcessIsRunning(pid_t pid)
{
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno != EPERM)) {
        return false;
    }
    // A process that has ended but was not reaped yet (a zombie) runs no more.
    const auto stat = ReadFileBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat ? stat->lastIndexOf(')') : -1;
    return close < 0 || close + 2 >= stat->size() || stat->at(close + 2) != 'Z';
}

QString FindProgram(const QString& folder, const QString& program)
{
    if (program.contains(u'/')) {
        return isExecutableFile(program) ? program : QString();
    }
    if (!folder.isEmpty()) {
        const QString local = IncludeBackslash(folder, PathStyle::Posix) + program;
        if (isExecutableFile(local)) {
            return local;
        }
    }
    const QString path = QString::fromLocal8Bit(qgetenv("PATH"));
    for (const QString& dir : path.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = IncludeBackslash(dir, PathStyle::Posix) + program;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return QString();
}

ToolProcesses::~ToolProcesses()
{
    endAll();
    // Killed already: each of these waits ends as soon as the system has taken the process down.
    reapDying(true);
}

pid_t ToolProcesses::track(pid_t pid, const QString& program, const QStringList& arguments)
{
    reapDying(false);
    if (pid > 0) {
        tools_.push_back({pid, (QStringList{program} + arguments).join(u' '), {}});
    }
    return pid;
}

pid_t ToolProcesses::start(const QString& folder, const QString& program,
                           const QStringList& arguments)
{
    const QString path = FindProgram(folder, program);
    return path.isEmpty() ? -1
                          : track(SpawnHidden(path, arguments, folder, ChildLife::EndsWithUs), path,
                                  arguments);
}

pid_t ToolProcesses::startBatch(const QString& file)
{
    const BatchCommand command = parseBatch(file);
    if (command.words.isEmpty()) {
        return -1;
    }
    const QString program = FindProgram(command.folder, command.words.first());
    if (program.isEmpty()) {
        return -1;
    }
    return track(SpawnHidden(program, command.words.mid(1), command.folder, ChildLife::EndsWithUs),
                 program, command.words.mid(1));
}

ToolProcesses::Tool* ToolProcesses::find(pid_t pid)
{
    const auto it = std::find_if(tools_.begin(), tools_.end(),
                                 [pid](const Tool& tool) { return tool.pid == pid; });
    return it == tools_.end() ? nullptr : &*it;
}

void ToolProcesses::reap(Tool& tool, bool block)
{
    int waitStatus = 0;
    pid_t r = 0;
    do {
        r = ::waitpid(tool.pid, &waitStatus, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == tool.pid) {
        tool.status = statusFrom(waitStatus);
    } else if (r < 0) {
        tool.status = {ToolStatus::State::Signalled, SIGKILL};  // reaped elsewhere: gone
    }
}

ToolStatus ToolProcesses::status(pid_t pid)
{
    Tool* tool = find(pid);
    if (tool == nullptr) {
        return {ToolStatus::State::Signalled, SIGKILL};  // ended by us, or never ours
    }
    if (tool->status.running()) {
        reap(*tool, false);
    }
    const ToolStatus status = tool->status;
    if (!status.running()) {
        tools_.erase(tools_.begin() + (tool - tools_.data()));
    }
    return status;
}

void ToolProcesses::end(pid_t pid)
{
    Tool* tool = find(pid);
    if (tool == nullptr || !tool->status.running()) {
        return;
    }
    // The leader is still unreaped, so the group id is still ours. Our tools keep nothing worth
    // a grace period: whatever they were writing is a work file or a temporary output of ours.
    ::killpg(pid, SIGKILL);
    reap(*tool, false);
    if (tool->status.running()) {
        dying_.push_back(pid);  // gone in a moment; reaped later, nobody waits for it
    }
    tools_.erase(tools_.begin() + (tool - tools_.data()));
}

void ToolProcesses::reapDying(bool block)
{
    std::erase_if(dying_, [block](pid_t pid) {
        pid_t r = 0;
        do {
            r = ::waitpid(pid, nullptr, block ? 0 : WNOHANG);
        } while (r < 0 && errno == EINTR);
        return r != 0;
    });
}

void ToolProcesses::CloseToolWindow(const QString& text)
{
    for (Tool& tool : tools_) {
        if (tool.status.running() && identification(tool.pid, tool.commandLine).contains(text)) {
            end(tool.pid);
            return;
        }
    }
}

void ToolProcesses::endAll()
{
    while (!tools_.empty()) {
        const pid_t pid = tools_.back().pid;
        if (tools_.back().status.running()) {
            end(pid);
        } else {
            tools_.pop_back();
        }
    }
}

bool ToolProcesses::anyRunning()
{
    reapDying(false);
    for (Tool& tool : tools_) {
        if (tool.status.running()) {
            reap(tool, false);
        }
    }
    return std::any_of(tools_.begin(), tools_.end(),
                       [](const Tool& tool) { return tool.status.running(); });
}

}  // namespace qvr
