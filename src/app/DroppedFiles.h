#pragma once

#include <QStringList>

namespace qvr {

// What was dropped on the window, sorted the way Open File and Open Folder take it: the files
// that can be converted, the folders to gather from, and whether anything else was refused.
struct DroppedFiles {
    QStringList files;
    QStringList folders;
    bool refused = false;

    bool empty() const { return files.isEmpty() && folders.isEmpty(); }
};

// Only the seven kinds, and only regular files (or links to them): a pipe or a device would
// wait, anything else would end without output.
DroppedFiles SortDropped(const QStringList& paths);

}  // namespace qvr
