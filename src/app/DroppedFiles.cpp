#include "DroppedFiles.h"

#include "convert/FileGathering.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

namespace qvr {

DroppedFiles SortDropped(const QStringList& paths)
{
    DroppedFiles dropped;
    for (const QString& path : paths) {
        if (DirectoryExists(path)) {
            dropped.folders << IncludeBackslash(path);
        } else if (IsSupportedSource(path) && IsRegularFile(path)) {
            dropped.files << path;
        } else {
            dropped.refused = true;
        }
    }
    return dropped;
}

}  // namespace qvr
