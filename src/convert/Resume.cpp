#include "Resume.h"

#include "TagCopy.h"
#include "platform/FileSystem.h"

namespace qvr {

bool OutputIsCurrent(const QString& source, const QString& output, int targetHz)
{
    const auto sourceTime = ModificationTime(source);
    const auto outputTime = ModificationTime(output);
    if (!sourceTime || !outputTime || *outputTime <= *sourceTime) {
        return false;
    }
    // The marker names its target first: "432 Hz (from 440 Hz)".
    return ReadTuning(output).startsWith(QStringLiteral("%1 Hz").arg(targetHz));
}

}  // namespace qvr
