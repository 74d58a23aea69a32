#include "FileGathering.h"

#include "AudioFormats.h"
#include "PartialOutputs.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"
#include "platform/Storage.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace qvr {
namespace {

using Identity = std::pair<std::uint64_t, std::uint64_t>;

// What one walk keeps: where it began and which folders it has searched.
struct Walk {
    QString pattern;
    bool includeSubfolders = false;
    QString root;  // the folder named, every link resolved, with its separator
    std::set<Identity> visited;
};

bool listedBefore(const FolderEntry& a, const FolderEntry& b)
{
    const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.name < b.name;
}

bool matchesPattern(const QString& name, const QString& pattern)
{
    if (pattern == u"*" || pattern == u"*.*") {
        return true;
    }
    const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                      QRegularExpression::CaseInsensitiveOption);
    return wildcard.match(name).hasMatch();
}

// A link to a folder outside the one named would take the walk anywhere (a link to "/" walks
// the whole machine).
bool leadsInside(const QString& link, const Walk& walk)
{
    const QString target = IncludeBackslash(CanonicalFilePath(link));
    return !walk.root.isEmpty() && target.startsWith(walk.root);
}

void collect(const QString& folder, Walk& walk, QStringList& collected)
{
    if (IsSystemFileSystem(folder)) {
        return;
    }
    if (const auto identity = FileIdentity(folder);
        identity && !walk.visited.insert(*identity).second) {
        return;
    }
    std::vector<FolderEntry> entries = ListFolder(folder);
    std::sort(entries.begin(), entries.end(), listedBefore);
    for (const FolderEntry& entry : entries) {
        // Pipes, sockets, devices and dangling links are no music: opening a pipe would wait.
        // A link into a system file system could block the decoder for good.
        if (entry.isRegular && matchesPattern(entry.name, walk.pattern) &&
            !(entry.isLink && IsSystemFileSystem(folder + entry.name))) {
            collected << folder + entry.name;
        }
    }
    if (!walk.includeSubfolders) {
        return;
    }
    for (const FolderEntry& entry : entries) {
        const QString path = folder + entry.name;
        if (entry.isFolder && !entry.name.startsWith(u'.') &&
            (!entry.isLink || leadsInside(path, walk))) {
            collect(IncludeBackslash(path), walk, collected);
        }
    }
}

}  // namespace

void CollectFiles(const QString& mask, bool includeSubfolders, QStringList& collected)
{
    const QString folder = IncludeBackslash(FolderOf(mask));
    Walk walk{FileNameOf(mask), includeSubfolders, IncludeBackslash(CanonicalFilePath(folder)), {}};
    collect(folder, walk, collected);
}

bool IsSupportedSource(const QString& path)
{
    const QString name = FileNameOf(path);
    return IsSupportedFile(name) && !IsPartialOutputName(name);
}

QStringList SupportedFiles(const QStringList& paths)
{
    QStringList supported;
    for (const QString& path : paths) {
        if (IsSupportedSource(path)) {
            supported << path;
        }
    }
    return supported;
}

void SourceFiles::addFolder(const QString& folder, bool includeSubfolders)
{
    QStringList collected;
    CollectFiles(IncludeBackslash(folder) + QStringLiteral("*.*"), includeSubfolders, collected);
    for (const QString& path : SupportedFiles(collected)) {
        addFile(path);
    }
}

bool SourceFiles::addFile(const QString& path)
{
    const auto identity = FileIdentity(path);
    if (identity && !identities_.insert(*identity).second) {
        return false;
    }
    files_ << path;
    return true;
}

QStringList GatherFolderFiles(const QString& folder, bool includeSubfolders)
{
    SourceFiles sources;
    sources.addFolder(folder, includeSubfolders);
    return sources.files();
}

}  // namespace qvr
