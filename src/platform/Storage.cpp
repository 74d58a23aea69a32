#include "Storage.h"

#include "NativePath.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qvr {
namespace {

// Below this a disk counts as full: tools stop writing with less than a block or two left.
constexpr std::int64_t kFullBelowBytes = 64 * 1024;

}  // namespace

bool IsDiskFullError(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

FileCopy::FileCopy(const QString& source, const QString& target) : target_(target)
{
    // Non-blocking, so opening a pipe does not wait for a writer; only regular files go on.
    in_ = ::open(toNativeBytes(source).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (in_ < 0) {
        error_ = errno;
        return;
    }
    if (::fstat(in_, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = EINVAL;
        return;
    }
    ::fcntl(in_, F_SETFL, ::fcntl(in_, F_GETFL) & ~O_NONBLOCK);
    out_ = ::open(toNativeBytes(target).c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out_ < 0) {
        error_ = errno;
    }
}

FileCopy::~FileCopy()
{
    if (in_ >= 0) {
        ::close(in_);
    }
    if (out_ >= 0) {
        ::close(out_);
    }
    if (!done_ && out_ >= 0) {
        ::unlink(toNativeBytes(target_).c_str());
    }
}

FileCopy::Step FileCopy::fail(int error)
{
    error_ = error;
    return Step::Failed;
}

FileCopy::Step FileCopy::step(std::size_t bytes)
{
    if (error_ != 0 || in_ < 0 || out_ < 0) {
        return fail(error_ != 0 ? error_ : EBADF);
    }
    std::vector<char> buffer(std::min<std::size_t>(bytes, std::size_t(1) << 20));
    std::size_t copied = 0;
    while (copied < bytes) {
        const ssize_t n = ::read(in_, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return fail(errno);
        }
        if (n == 0) {
            if (::close(out_) != 0) {
                out_ = -1;
                return fail(errno);
            }
            out_ = -1;
            done_ = true;
            return Step::Done;
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out_, buffer.data() + written, std::size_t(n - written));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w < 0) {
                return fail(errno);
            }
            written += w;
        }
        copied += std::size_t(n);
    }
    return Step::More;
}

std::optional<std::int64_t> FreeBytes(const QString& folder)
{
    struct statvfs st {};
    if (::statvfs(toNativeBytes(folder).c_str(), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

bool DiskIsFull(const QString& path)
{
    const auto free = FreeBytes(path);
    return free && *free < kFullBelowBytes;
}

bool NameTooLong(const QString& path)
{
    const std::string bytes = toNativeBytes(path);
    if (bytes.size() >= PATH_MAX) {
        return true;
    }
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('/', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        if (end - start > NAME_MAX) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool NamesIgnoreCase(const QString& path)
{
    // File system magic numbers of the kinds that fold letter case.
    constexpr long kFoldingKinds[] = {0x4d44 /* FAT */, 0x2011BAB0 /* exFAT */,
                                      0x5346544e /* NTFS */, long(0xFF534D42) /* CIFS */,
                                      long(0xFE534D42) /* SMB2 */};
    std::string bytes = toNativeBytes(path);
    struct statfs st {};
    while (!bytes.empty() && ::statfs(bytes.c_str(), &st) != 0) {
        const std::size_t slash = bytes.find_last_of('/', bytes.size() - 2);
        bytes = slash == std::string::npos ? std::string() : bytes.substr(0, slash + 1);
    }
    if (bytes.empty()) {
        return false;
    }
    for (const long kind : kFoldingKinds) {
        if (static_cast<long>(st.f_type) == kind) {
            return true;
        }
    }
    return false;
}

bool IsSystemFileSystem(const QString& path)
{
    // File system magic numbers (linux/magic.h) of the kernel's own file systems.
    constexpr unsigned long kSystemKinds[] = {0x9fa0 /* proc */,
                                              0x62656572 /* sysfs */,
                                              0x1cd1 /* devpts */,
                                              0x27e0eb /* cgroup */,
                                              0x63677270 /* cgroup2 */,
                                              0x64626720 /* debugfs */,
                                              0x74726163 /* tracefs */,
                                              0x73636673 /* securityfs */,
                                              0x6165676c /* pstore */,
                                              0xcafe4a11 /* bpf */,
                                              0x62656570 /* configfs */,
                                              0x65735543 /* fusectl */,
                                              0x19800202 /* mqueue */,
                                              0x42494e4d /* binfmt_misc */,
                                              0xde5e81e4 /* efivarfs */,
                                              0xf97cff8c /* selinux */,
                                              0x6e736673 /* nsfs */,
                                              0x67596969 /* rpc_pipefs */,
                                              0x958458f6 /* hugetlbfs */};
    const std::string bytes = toNativeBytes(path);
    struct statfs st {};
    if (bytes.empty() || ::statfs(bytes.c_str(), &st) != 0) {
        return false;
    }
    for (const unsigned long kind : kSystemKinds) {
        if (static_cast<unsigned long>(st.f_type) == kind) {
            return true;
        }
    }
    // The device folder is a memory file system like /tmp, so its place tells it.
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(bytes.c_str(), nullptr),
                                                         &std::free);
    const std::string place = resolved ? resolved.get() : std::string();
    for (const std::string top : {"/dev", "/proc", "/sys"}) {
        if (place == top || place.starts_with(top + '/')) {
            return true;
        }
    }
    return false;
}

QString CurrentFolder()
{
    char* folder = ::getcwd(nullptr, 0);
    const QString text =
        folder != nullptr ? fromNativeBytes(folder, std::strlen(folder)) : QString();
    std::free(folder);
    return text;
}

int ReplaceFile(const QString& from, const QString& to)
{
    return ::rename(toNativeBytes(from).c_str(), toNativeBytes(to).c_str()) == 0 ? 0 : errno;
}

}  // namespace qvr
