#include "CdText.h"

#include "cdrip/CDRipLibrary.h"

namespace qvr {

CdText FirstDriveCdText(CDRipLibrary& library)
{
    if (!library.findDrives() || !library.selectDrive(0)) {
        return {};
    }
    const DiscToc disc = library.readToc();
    return disc.state == DiscState::Read ? disc.cdText : CdText{};
}

}  // namespace qvr
