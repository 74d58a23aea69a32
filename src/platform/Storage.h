#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qvr {

// Copies one file in chunks, so the caller can keep its window alive between them. Only a
// regular file (or a link to one) is read, and a pipe never blocks the copy. The target must not
// exist yet; a copy that did not finish removes what it wrote.
class FileCopy {
  public:
    enum class Step { More, Done, Failed };

    FileCopy(const QString& source, const QString& target);
    ~FileCopy();
    FileCopy(const FileCopy&) = delete;
    FileCopy& operator=(const FileCopy&) = delete;

    Step step(std::size_t bytes = std::size_t(4) << 20);
    // The system's error number of a failed copy (ENOSPC for a full disk, EINVAL for a source
    // that is not a regular file, ...).
    int error() const { return error_; }

  private:
    Step fail(int error);

    QString target_;
    int in_ = -1;
    int out_ = -1;
    int error_ = 0;
    bool done_ = false;
};

// Bytes an unprivileged user can still write in the folder's file system; nothing when unknown.
std::optional<std::int64_t> FreeBytes(const QString& folder);
// True for the error numbers of a write that found no room.
bool IsDiskFullError(int error);
// True when the file system holding `path` has (almost) no room left.
bool DiskIsFull(const QString& path);
// True when a name in the path is longer than a file system holds, or the path as a whole is.
bool NameTooLong(const QString& path);
// True when the file system that holds (or would hold) `path` sees "a.mp3" and "A.MP3" as one
// name, as FAT, exFAT, NTFS and SMB shares do.
bool NamesIgnoreCase(const QString& path);
// True for the system's own file systems, which hold no music and can be endless or block when
// read: the process, kernel, device and control file systems (/proc, /sys, /dev, cgroups, ...).
// Symbolic links are followed.
bool IsSystemFileSystem(const QString& path);
// The process's current folder, as the system names it.
QString CurrentFolder();
// Moves `from` over `to` in one step (both in one folder); 0 or the system's error number.
int ReplaceFile(const QString& from, const QString& to);

}  // namespace qvr
