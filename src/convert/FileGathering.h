#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <set>
#include <utility>

namespace qvr {

// Appends the full paths of the files in the mask's folder that match its pattern ("/m/*.*"),
// then, with subfolders, those of every subfolder whose name does not begin with a dot, depth
// first. Entries come sorted by name without regard to letter case, as a file manager lists
// them. The walk stays inside the folder named: a linked folder is entered only when it leads
// to a folder inside it, a folder reached twice (through links, bind mounts) is searched once,
// and the system's own file systems (/proc, /sys, /dev, ...) are never entered.
void CollectFiles(const QString& mask, bool includeSubfolders, QStringList& collected);

// The paths of supported audio files, in their order; partial outputs of a run are no sources.
QStringList SupportedFiles(const QStringList& paths);

// A file that may be a source: a supported kind, and not a partial output of a run.
bool IsSupportedSource(const QString& path);

// The sources of one list, each file once however often it is reached: through links, bind
// mounts, a folder and a file in it, or a path named twice.
class SourceFiles {
  public:
    // Adds the supported files of a folder, optionally with its subfolders.
    void addFolder(const QString& folder, bool includeSubfolders);
    // Adds a file named on its own; false when it was there already.
    bool addFile(const QString& path);
    const QStringList& files() const { return files_; }

  private:
    QStringList files_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> identities_;
};

// The supported files of a folder (with trailing separator), optionally with its subfolders.
QStringList GatherFolderFiles(const QString& folder, bool includeSubfolders);

}  // namespace qvr
