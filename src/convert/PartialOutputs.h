#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// The hidden name an encoder writes under before its output has been checked, in the output
// folder: ".quorvane-<process id>-<row>.part" and the output's extension (the converter picks its
// container by it).
QString PartialOutputName(const QString& target, qint64 processId, int row);

// True for a name of that shape: such a file is never a source.
bool IsPartialOutputName(const QString& name);

// Removes from each folder the partial outputs left by runs whose process no longer runs (killed
// before they could clean up); those of running processes, this one's too, stay. Only regular
// files of exactly that shape go. Answers how many were removed.
int RemoveStalePartialOutputs(const QStringList& folders);

}  // namespace qvr
