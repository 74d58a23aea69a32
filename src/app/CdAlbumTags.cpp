#include "CdAlbumTags.h"

namespace qvr {

CdAlbum AlbumTags(const QString& album, const RippedDisc& disc)
{
    CdAlbum tags{album, disc.performer, {}};
    for (const RippedTrack& track : disc.tracks) {
        tags.tracks.push_back(
            CdTrackTags{track.wavPath, track.number, disc.trackCount, track.title,
                        track.performer.isEmpty() ? disc.performer : track.performer});
    }
    return tags;
}

}  // namespace qvr
