#include "CdText.h"

#include "cdrip/CDRipLibrary.h"

namespace qvr {

CdText FirstDriveCdText(CDRipLibrary& library)
{
    if (library.CR_Init() == kCrFailure || library.CR_SetActiveCDROM(0) == kCrFailure ||
        library.CR_ReadToc() == kCrFailure) {
        return {};
    }
    return library.DiscCdText();
}

}  // namespace qvr
