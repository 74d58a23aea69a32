#pragma once

#include "cdrip/CDRipLibrary.h"

#include <QString>

#include <vector>

namespace qvr {

class ProgramTexts;
struct TTrack;
enum class TRipOutcome;

// A track file the last run wrote completely.
struct RippedTrack {
    int number = 0;     // on the disc
    QString title;      // the entry's text when the run reached it, edits included
    QString performer;  // CD-TEXT; empty when the disc names none for the track
    QString wavPath;
};

// Why a marked track gave no file.
enum class TrackFailure {
    ReadError,    // unreadable, or missing from a short image
    DiscRemoved,  // the disc was taken out before the track was read to its end
    NotAudio,     // a data track
};

// The reason in the language of the run.
QString TrackFailureText(const ProgramTexts& texts, TrackFailure reason);

// Why a disc or image cannot be read, naming the file concerned, in the language of the run.
QString DiscProblemText(const ProgramTexts& texts, const ImageProblem& problem);

// A marked track that the last run could not rip.
struct FailedTrack {
    int number = 0;  // on the disc
    QString title;   // the entry's text when the run reached it
    TrackFailure reason = TrackFailure::ReadError;
};

// What the last run ripped, and from which disc.
struct RippedDisc {
    int trackCount = 0;   // tracks on the disc, ripped or not
    int markedCount = 0;  // tracks the run was to rip
    QString performer;    // CD-TEXT of the disc; may be empty
    std::vector<RippedTrack> tracks;
    std::vector<FailedTrack> failed;  // in list order
};

// Why a track the component did not rip to its end gave no file.
TrackFailure FailureOf(const TTrack& track, TRipOutcome outcome);

// Removes what a run leaves in its rip folder (track files and partial rips), so that whatever
// lies there after the next run is that run's own.
void RemoveEarlierTrackFiles(const QString& ripFolder);

}  // namespace qvr
