#include "StretchSigns.h"

#include "WorkFiles.h"
#include "platform/FileSystem.h"

namespace qvr {

StretchSign ReadStretchSigns(const QString& workFolder, const std::function<bool()>& ended)
{
    const bool hasEnded = ended();
    if (FileExists(workFolder + kErrorFile)) {
        return StretchSign::ErrorFile;
    }
    if (FileExists(workFolder + kOutputWav)) {
        return StretchSign::Output;
    }
    return hasEnded ? StretchSign::Ended : StretchSign::Nothing;
}

}  // namespace qvr
