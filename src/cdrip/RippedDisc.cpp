#include "RippedDisc.h"

#include "CDRIP.h"
#include "lang/ProgramTexts.h"
#include "platform/FileSystem.h"

namespace qvr {

QString TrackFailureText(const ProgramTexts& texts, TrackFailure reason)
{
    switch (reason) {
        case TrackFailure::ReadError: return texts.text(20042);
        case TrackFailure::DiscRemoved: return texts.text(20043);
        case TrackFailure::NotAudio: return texts.text(20044);
    }
    return {};
}

TrackFailure FailureOf(const TTrack& track, TRipOutcome outcome)
{
    if (outcome == TRipOutcome::DiscRemoved) {
        return TrackFailure::DiscRemoved;
    }
    return track.TrackType == QStringLiteral("Audio") ? TrackFailure::ReadError
                                                      : TrackFailure::NotAudio;
}

void RemoveEarlierTrackFiles(const QString& ripFolder)
{
    for (const QString& mask :
         {QStringLiteral("*.wav"), QStringLiteral("*.pcm"), PartialRipName(QStringLiteral("*"))}) {
        DeleteFilesByMask(ripFolder + mask);
    }
}

}  // namespace qvr
