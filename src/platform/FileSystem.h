#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace qvr {

// File operations on the system's own names (see NativePath.h), so any file a person owns can
// be measured, copied and listed, whatever bytes its name holds.

bool FileExists(const QString& path);       // a file (not a folder) is there
bool DirectoryExists(const QString& path);  // a folder is there
// A regular file is there, or a symbolic link to one; not a folder, pipe, socket or device.
bool IsRegularFile(const QString& path);
// The file opened for reading if it is a regular file (or a link to one); nothing for a pipe,
// device, socket or folder, which is refused without waiting for a writer or a medium.
std::unique_ptr<QFile> OpenRegularFile(const QString& path);
// Creates the folder with all missing parents; true when it exists afterwards.
bool ForceDirectories(const QString& path);
// Copies a file over an existing target, keeping the source's permission bits.
bool CopyFileReplacing(const QString& source, const QString& target);
bool RemoveFile(const QString& path);

// Byte count of a file, 64-bit; 0 for a missing file or one whose size cannot be read.
std::int64_t FileSize64(const QString& path);

// Makes a read-only file writable again. True when it was read-only.
bool ClearReadOnly(const QString& path);
// Deletes the files of a folder whose names match the mask's pattern ("/x/*.wav"), without
// regard to letter case, read-only ones too; matching folders stay. True when anything matched.
bool DeleteFilesByMask(const QString& mask);

// The lines of a text file (UTF-8, line ends CR LF or LF); nothing when the file cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path);
// The first line of a text file; nothing when the file cannot be read or is empty.
std::optional<QString> ReadFirstLine(const QString& path);
// Replaces the file with the given text, written as UTF-8. When it fails, errno tells why.
bool WriteTextFile(const QString& path, const QString& text);
std::optional<QByteArray> ReadFileBytes(const QString& path);
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

struct FolderEntry {
    QString name;
    bool isFolder = false;
    bool isRegular = false;  // a regular file, or a symbolic link to one
    bool isLink = false;     // a symbolic link; isFolder and isRegular tell what it leads to
};
// The entries of a folder, without "." and "..", in the order the system gives them.
std::vector<FolderEntry> ListFolder(const QString& folder);

// Device and inode of a file or folder (symbolic links followed); tells when two paths are
// the same folder. Nothing when it cannot be read.
std::optional<std::pair<std::uint64_t, std::uint64_t>> FileIdentity(const QString& path);

// When a file's contents last changed, in nanoseconds since the epoch (symbolic links followed);
// nothing when it cannot be read.
std::optional<std::int64_t> ModificationTime(const QString& path);

// The absolute path of an existing file or folder with every symbolic link resolved; empty when
// it cannot be resolved (missing, a dangling link).
QString CanonicalFilePath(const QString& path);
// What a symbolic link points to, as written in the link; empty when the path is no link.
QString SymbolicLinkTarget(const QString& path);
// Makes linkPath a symbolic link to target, replacing whatever file or link is there in one
// step: the link is made under a temporary name in the same folder and renamed over. True when
// the link is in place.
bool ReplaceWithSymbolicLink(const QString& target, const QString& linkPath);

// Full path of the running program file.
QString ProgramFilePath();

}  // namespace qvr
