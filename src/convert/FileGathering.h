#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// Appends the full paths of the files in the mask's folder that match its pattern ("/m/*.*"),
// then, with subfolders, those of every subfolder whose name does not begin with a dot, depth
// first. Entries come sorted by name without regard to letter case, as a file manager lists
// them; a folder reached twice through links is searched once.
void CollectFiles(const QString& mask, bool includeSubfolders, QStringList& collected);

// The paths of supported audio files, in their order.
QStringList SupportedFiles(const QStringList& paths);

// The supported files of a folder (with trailing separator), optionally with its subfolders.
QStringList GatherFolderFiles(const QString& folder, bool includeSubfolders);

}  // namespace qvr
