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
#include <utility>

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

ToolProcesses::ToolProcesses(ToolLauncher::Spawner spawner, QObject* parent)
    : QObject(parent), launcher_(std::make_unique<ToolLauncher>(std::move(spawner)))
{
    connect(launcher_.get(), &ToolLauncher::launched, this, &ToolProcesses::takeLaunched);
}

ToolProcesses::~ToolProcesses()
{
    endAll();
    // The launcher's thread ends after the start in progress; a tool it started meanwhile is
    // ended with it and only needs reaping.
    launcher_->stop();
    for (const ToolLauncher::Launched& launched : launcher_->takeLaunched()) {
        killUnwanted(launched.pid);
    }
    // Killed already: each of these waits ends as soon as the system has taken the process down.
    reapDying(true);
}

ToolId ToolProcesses::launch(const QString& folder, const QString& program,
                             const QStringList& arguments)
{
    reapDying(false);
    const ToolId id = nextId_++;
    Tool tool;
    tool.id = id;
    tool.commandLine = (QStringList{program} + arguments).join(u' ');
    tools_.push_back(std::move(tool));
    launcher_->launch({id, program, arguments, folder});
    return id;
}

// Takes the launcher's answers: each started tool is watched from now on; one that was ended
// meanwhile goes at once. Answers the tools whose state changed.
std::vector<ToolId> ToolProcesses::absorbLaunched()
{
    std::vector<ToolId> changed;
    for (const ToolLauncher::Launched& launched : launcher_->takeLaunched()) {
        Tool* tool = find(launched.ticket);
        if (tool == nullptr || !tool->status.running()) {
            killUnwanted(launched.pid);
            continue;
        }
        if (launched.pid <= 0) {
            tool->status = {ToolStatus::State::NotStarted, 0};
        } else {
            tool->pid = launched.pid;
            tool->exitWatch = std::make_unique<ProcessExitWatch>(launched.pid);
            const ToolId id = tool->id;
            connect(tool->exitWatch.get(), &ProcessExitWatch::ended, this,
                    [this, id] { emit toolChanged(id); });
        }
        changed.push_back(launched.ticket);
    }
    return changed;
}

// A tool started for a caller that has ended it meanwhile, or gone.
void ToolProcesses::killUnwanted(pid_t pid)
{
    if (pid > 0) {
        ::killpg(pid, SIGKILL);
        dying_.push_back(pid);
    }
}

void ToolProcesses::announce(const std::vector<ToolId>& changed)
{
    for (const ToolId id : changed) {
        emit toolChanged(id);
    }
}

void ToolProcesses::takeLaunched()
{
    announce(absorbLaunched());
}

// A caller asking about the tools sees the launcher's latest answers; those who wait for them
// still hear from the event loop, never from inside the call.
void ToolProcesses::catchUp()
{
    const std::vector<ToolId> changed = absorbLaunched();
    if (!changed.empty()) {
        QMetaObject::invokeMethod(
            this, [this, changed] { announce(changed); }, Qt::QueuedConnection);
    }
}

ToolId ToolProcesses::start(const QString& folder, const QString& program,
                            const QStringList& arguments)
{
    const QString path = FindProgram(folder, program);
    return path.isEmpty() ? kNoTool : launch(folder, path, arguments);
}

ToolId ToolProcesses::startBatch(const QString& file)
{
    const BatchCommand command = parseBatch(file);
    if (command.words.isEmpty()) {
        return kNoTool;
    }
    const QString program = FindProgram(command.folder, command.words.first());
    if (program.isEmpty()) {
        return kNoTool;
    }
    return launch(command.folder, program, command.words.mid(1));
}

ToolProcesses::Tool* ToolProcesses::find(ToolId id)
{
    const auto it = std::find_if(tools_.begin(), tools_.end(),
                                 [id](const Tool& tool) { return tool.id == id; });
    return it == tools_.end() ? nullptr : &*it;
}

void ToolProcesses::forget(Tool* tool)
{
    tools_.erase(tools_.begin() + (tool - tools_.data()));
}

void ToolProcesses::reap(Tool& tool, bool block)
{
    if (tool.pid <= 0) {
        return;  // still being started
    }
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

ToolStatus ToolProcesses::status(ToolId id)
{
    catchUp();
    Tool* tool = find(id);
    if (tool == nullptr) {
        return {ToolStatus::State::Signalled, SIGKILL};  // ended by us, or never ours
    }
    if (tool->status.running()) {
        reap(*tool, false);
    }
    const ToolStatus status = tool->status;
    if (!status.running()) {
        forget(tool);
    }
    return status;
}

std::optional<pid_t> ToolProcesses::processOf(ToolId id)
{
    catchUp();
    const Tool* tool = find(id);
    if (tool == nullptr || tool->pid <= 0) {
        return std::nullopt;
    }
    return tool->pid;
}

void ToolProcesses::end(ToolId id)
{
    catchUp();
    Tool* tool = find(id);
    if (tool == nullptr || !tool->status.running()) {
        return;
    }
    // A tool still being started is forgotten now and killed when the launcher tells its id.
    if (tool->pid > 0) {
        // The leader is still unreaped, so the group id is still ours. Our tools keep nothing
        // worth a grace period: whatever they were writing is a work file or a temporary output
        // of ours.
        ::killpg(tool->pid, SIGKILL);
        reap(*tool, false);
        if (tool->status.running()) {
            dying_.push_back(tool->pid);  // gone in a moment; reaped later, nobody waits for it
        }
    }
    forget(tool);
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
    catchUp();
    for (Tool& tool : tools_) {
        if (tool.status.running() && identification(tool.pid, tool.commandLine).contains(text)) {
            end(tool.id);
            return;
        }
    }
}

void ToolProcesses::endAll()
{
    catchUp();
    while (!tools_.empty()) {
        Tool& last = tools_.back();
        if (last.status.running()) {
            end(last.id);
        } else {
            tools_.pop_back();
        }
    }
}

bool ToolProcesses::anyRunning()
{
    catchUp();
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
