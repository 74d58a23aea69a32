#include "FileSystem.h"

#include "NativePath.h"
#include "PathStyle.h"

#include <QByteArray>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace qvr {
namespace {

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool statPath(const QString& path, struct stat& st)
{
    return !path.isEmpty() && ::stat(toNativeBytes(path).c_str(), &st) == 0;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

QStringList splitLines(const QByteArray& bytes)
{
    QString text = fromNativeBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

bool FileExists(const QString& path)
{
    struct stat st {};
    return statPath(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const QString& path)
{
    struct stat st {};
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const QString& path)
{
    struct stat st {};
    return statPath(path, st) && S_ISREG(st.st_mode);
}

std::unique_ptr<QFile> OpenRegularFile(const QString& path)
{
    // Without O_NONBLOCK opening a pipe waits for a writer, a device for its medium.
    const int fd = ::open(toNativeBytes(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

bool ForceDirectories(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    const std::string bytes = toNativeBytes(path);
    for (std::size_t i = 1; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '/') {
            const std::string prefix = bytes.substr(0, i);
            if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return DirectoryExists(path);
}

bool CopyFileReplacing(const QString& source, const QString& target)
{
    const int in = ::open(toNativeBytes(source).c_str(), O_RDONLY | O_CLOEXEC);
    FdCloser inCloser{in};
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    const std::string targetBytes = toNativeBytes(target);
    const int out = ::open(targetBytes.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FdCloser outCloser{out};
    if (out < 0) {
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        if (!writeAll(out, buffer, static_cast<std::size_t>(n))) {
            return false;
        }
    }
    return ::fchmod(out, st.st_mode & 07777) == 0;
}

bool RemoveFile(const QString& path)
{
    return !path.isEmpty() && ::unlink(toNativeBytes(path).c_str()) == 0;
}

std::int64_t FileSize64(const QString& path)
{
    struct stat st {};
    if (!statPath(path, st) || S_ISDIR(st.st_mode)) {
        return 0;
    }
    return static_cast<std::int64_t>(st.st_size);
}

bool ClearReadOnly(const QString& path)
{
    struct stat st {};
    if (!statPath(path, st) || (st.st_mode & S_IWUSR) != 0) {
        return false;
    }
    return ::chmod(toNativeBytes(path).c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool DeleteFilesByMask(const QString& mask)
{
    const qsizetype slash = mask.lastIndexOf(u'/');
    const QString folder = slash >= 0 ? mask.left(slash + 1) : QStringLiteral("./");
    const std::string pattern = toNativeBytes(mask.mid(slash + 1));
    bool found = false;
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (::fnmatch(pattern.c_str(), toNativeBytes(entry.name).c_str(), FNM_CASEFOLD) != 0) {
            continue;
        }
        found = true;
        if (!entry.isFolder) {
            ClearReadOnly(folder + entry.name);
            RemoveFile(folder + entry.name);
        }
    }
    return found;
}

std::optional<QByteArray> ReadFileBytes(const QString& path)
{
    const int fd = ::open(toNativeBytes(path).c_str(), O_RDONLY | O_CLOEXEC);
    FdCloser closer{fd};
    if (fd < 0) {
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[1 << 14];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, n);
    }
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    const int fd =
        ::open(toNativeBytes(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    FdCloser closer{fd};
    return fd >= 0 && writeAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<QStringList> ReadTextLines(const QString& path)
{
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    return splitLines(*bytes);
}

std::optional<QString> ReadFirstLine(const QString& path)
{
    const auto lines = ReadTextLines(path);
    if (!lines || lines->isEmpty()) {
        return std::nullopt;
    }
    return lines->first();
}

bool WriteTextFile(const QString& path, const QString& text)
{
    const std::string bytes = toNativeBytes(text);
    return WriteFileBytes(path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::vector<FolderEntry> ListFolder(const QString& folder)
{
    std::vector<FolderEntry> entries;
    const std::string base = toNativeBytes(IncludeBackslash(folder, PathStyle::Posix));
    DirHandle dir(::opendir(base.c_str()));
    if (!dir) {
        return entries;
    }
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = e->d_type == DT_DIR;
        bool isRegular = e->d_type == DT_REG;
        bool isLink = e->d_type == DT_LNK;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            isLink = ::lstat((base + name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        }
        if (e->d_type == DT_UNKNOWN || isLink) {
            struct stat st {};
            const bool found = ::stat((base + name).c_str(), &st) == 0;
            isFolder = found && S_ISDIR(st.st_mode);
            isRegular = found && S_ISREG(st.st_mode);
        }
        entries.push_back({fromNativeBytes(name), isFolder, isRegular, isLink});
    }
    return entries;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> FileIdentity(const QString& path)
{
    struct stat st {};
    if (!statPath(path, st)) {
        return std::nullopt;
    }
    return std::pair<std::uint64_t, std::uint64_t>(st.st_dev, st.st_ino);
}

std::optional<std::int64_t> ModificationTime(const QString& path)
{
    struct stat st {};
    if (!statPath(path, st)) {
        return std::nullopt;
    }
    return std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

QString CanonicalFilePath(const QString& path)
{
    if (path.isEmpty()) {
        return QString();
    }
    std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(toNativeBytes(path).c_str(), nullptr), &std::free);
    return resolved ? fromNativeBytes(resolved.get(), std::strlen(resolved.get())) : QString();
}

QString SymbolicLinkTarget(const QString& path)
{
    struct stat st {};
    const std::string bytes = toNativeBytes(path);
    if (path.isEmpty() || ::lstat(bytes.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return QString();
    }
    // The size lstat gives may be 0 (some file systems) or out of date: grow until it fits.
    std::string buffer(std::max<std::size_t>(static_cast<std::size_t>(st.st_size) + 1, 256), '\0');
    for (;;) {
        const ssize_t n = ::readlink(bytes.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return QString();
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return fromNativeBytes(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool ReplaceWithSymbolicLink(const QString& target, const QString& linkPath)
{
    if (target.isEmpty() || linkPath.isEmpty() || linkPath.endsWith(u'/')) {
        return false;
    }
    const qsizetype slash = linkPath.lastIndexOf(u'/');
    const std::string folder = toNativeBytes(linkPath.left(slash + 1));
    const std::string name = toNativeBytes(linkPath.mid(slash + 1));
    const std::string targetBytes = toNativeBytes(target);
    const std::string linkBytes = toNativeBytes(linkPath);
    // A name no other process uses; one left by a process that died is stepped over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = folder + '.' + name + ".link-" + std::to_string(::getpid()) +
                                      '-' + std::to_string(attempt);
        if (::symlink(targetBytes.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (::rename(temporary.c_str(), linkBytes.c_str()) != 0) {
            ::unlink(temporary.c_str());
            return false;
        }
        return true;
    }
    return false;
}

QString ProgramFilePath()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? fromNativeBytes(buffer, static_cast<std::size_t>(n)) : QString();
}

}  // namespace qvr
