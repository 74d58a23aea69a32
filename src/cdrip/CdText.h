#pragma once

#include <QString>

#include <vector>

namespace qvr {

class CDRipLibrary;

// What a disc says about itself or one of its tracks in CD-TEXT; empty where it says nothing.
struct CdTextEntry {
    QString title;
    QString performer;
};

// The CD-TEXT of one disc: the disc's own entry and one entry per track, in the order of the
// table of contents.
struct CdText {
    CdTextEntry disc;
    std::vector<CdTextEntry> tracks;
};

// The CD-TEXT of the disc in the first drive, the one the ripper dialog opens with; empty when
// the library finds no drive, cannot read the disc or the disc carries no CD-TEXT.
CdText FirstDriveCdText(CDRipLibrary& library);

}  // namespace qvr
