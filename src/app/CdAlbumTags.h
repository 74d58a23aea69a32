#pragma once

#include "cdrip/RippedDisc.h"
#include "convert/CdAlbum.h"

namespace qvr {

// What the run's MP3 tags are made of after a rip: `album` as the person named the CD; a track
// without a performer of its own takes the disc's.
CdAlbum AlbumTags(const QString& album, const RippedDisc& disc);

}  // namespace qvr
