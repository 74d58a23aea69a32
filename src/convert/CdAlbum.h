#pragma once

#include <QString>

#include <vector>

namespace qvr {

// What the MP3 tags of one ripped track are made of.
struct CdTrackTags {
    QString wavPath;  // the ripped file, as the run lists it
    int number = 0;   // on the disc
    int total = 0;    // tracks on the disc
    QString title;
    QString artist;
};

// The tags of a ripped CD, handed from the rip to the run that converts its tracks.
struct CdAlbum {
    QString album;
    QString artist;  // may be empty
    std::vector<CdTrackTags> tracks;
};

}  // namespace qvr
