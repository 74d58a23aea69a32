#include "FileGathering.h"

#include "AudioFormats.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

#include <QRegularExpression>

#include <algorithm>
#include <set>
#include <vector>

namespace qvr {
namespace {

using Identity = std::pair<std::uint64_t, std::uint64_t>;

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

void collect(const QString& folder, const QString& pattern, bool includeSubfolders,
             std::set<Identity>& visited, QStringList& collected)
{
    if (const auto identity = FileIdentity(folder); identity && !visited.insert(*identity).second) {
        return;
    }
    std::vector<FolderEntry> entries = ListFolder(folder);
    std::sort(entries.begin(), entries.end(), listedBefore);
    for (const FolderEntry& entry : entries) {
        // Pipes, sockets, devices and dangling links are no music: opening a pipe would wait.
        if (entry.isRegular && matchesPattern(entry.name, pattern)) {
            collected << folder + entry.name;
        }
    }
    if (!includeSubfolders) {
        return;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder && !entry.name.startsWith(u'.')) {
            collect(IncludeBackslash(folder + entry.name), pattern, true, visited, collected);
        }
    }
}

}  // namespace

void CollectFiles(const QString& mask, bool includeSubfolders, QStringList& collected)
{
    const QString folder = IncludeBackslash(FolderOf(mask));
    const QString pattern = FileNameOf(mask);
    std::set<Identity> visited;
    collect(folder, pattern, includeSubfolders, visited, collected);
}

QStringList SupportedFiles(const QStringList& paths)
{
    QStringList supported;
    for (const QString& path : paths) {
        if (IsSupportedFile(FileNameOf(path))) {
            supported << path;
        }
    }
    return supported;
}

QStringList GatherFolderFiles(const QString& folder, bool includeSubfolders)
{
    QStringList collected;
    CollectFiles(IncludeBackslash(folder) + QStringLiteral("*.*"), includeSubfolders, collected);
    return SupportedFiles(collected);
}

}  // namespace qvr
