#include "Processes.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "Host.h"
#include "NativePath.h"
#include "PathStyle.h"
#include "Spawn.h"

#include <QThread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

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

pid_t startBatch(const QString& file)
{
    const BatchCommand command = parseBatch(file);
    if (command.words.isEmpty()) {
        return -1;
    }
    const QString program = FindProgram(command.folder, command.words.first());
    if (program.isEmpty()) {
        return -1;
    }
    return SpawnHidden(program, command.words.mid(1), command.folder);
}

pid_t openWithDesktop(const QString& file)
{
    const QString opener = FindProgram(QString(), QStringLiteral("xdg-open"));
    return opener.isEmpty() ? -1 : SpawnHidden(opener, {file}, QString());
}

// Identification text of a process: low 16 bits of its id, ":", its command line.
QString identification(pid_t pid, const QByteArray& commandLine)
{
    QByteArray words = commandLine;
    while (words.endsWith('\0')) {
        words.chop(1);
    }
    words.replace('\0', ' ');
    return QString::number(pid & 0xFFFF) + u':' +
           fromNativeBytes(words.constData(), static_cast<std::size_t>(words.size()));
}

bool ownedByMe(const QString& procEntry)
{
    struct stat st {};
    return ::stat(toNativeBytes(procEntry).c_str(), &st) == 0 && st.st_uid == ::getuid();
}

bool processGone(pid_t pid)
{
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
        return true;  // it was our child and is reaped now
    }
    if (::kill(pid, 0) != 0) {
        return true;
    }
    const auto stat = ReadFileBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat) {
        return true;
    }
    const qsizetype close = stat->lastIndexOf(')');
    return close >= 0 && close + 2 < stat->size() && stat->at(close + 2) == 'Z';
}

bool waitUntilGone(pid_t pid, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!processGone(pid)) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

void endProcess(pid_t pid)
{
    ::kill(pid, SIGTERM);
    if (!waitUntilGone(pid, std::chrono::milliseconds(2000))) {
        ::kill(pid, SIGKILL);
        waitUntilGone(pid, std::chrono::milliseconds(1000));
    }
}

std::vector<pid_t> processIds()
{
    std::vector<pid_t> ids;
    for (const FolderEntry& entry : ListFolder(QStringLiteral("/proc"))) {
        bool ok = false;
        const int id = entry.name.toInt(&ok);
        if (ok && entry.isFolder) {
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

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

void RunAndWait(const QString& folder, const QString& program, const QStringList& arguments)
{
    const QString path = FindProgram(folder, program);
    const pid_t pid = path.isEmpty() ? -1 : SpawnHidden(path, arguments, folder);
    if (pid < 0) {
        host().showPlainMessage(QStringLiteral("Error starting ") + program);
        return;
    }
    WaitForChild(pid);
}

bool StartHidden(const QString& file, pid_t& started)
{
    const bool batch = file.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive);
    started = batch ? startBatch(file) : openWithDesktop(file);
    AdoptChild(started);
    return started > 0;
}

bool StartHidden(const QString& file)
{
    pid_t ignored = -1;
    return StartHidden(file, ignored);
}

bool HasEnded(pid_t pid)
{
    return ChildHasEnded(pid);
}

void CloseToolWindow(const QString& text)
{
    const pid_t self = ::getpid();
    for (const pid_t pid : processIds()) {
        const QString entry = QStringLiteral("/proc/%1").arg(pid);
        if (pid == self || !ownedByMe(entry)) {
            continue;
        }
        const auto commandLine = ReadFileBytes(entry + QStringLiteral("/cmdline"));
        if (!commandLine || commandLine->isEmpty()) {
            continue;
        }
        if (identification(pid, *commandLine).contains(text)) {
            endProcess(pid);
            return;
        }
    }
}

}  // namespace qvr
