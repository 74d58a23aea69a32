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

QString DiscProblemText(const ProgramTexts& texts, const ImageProblem& problem)
{
    switch (problem.fault) {
        case ImageFault::None: break;
        case ImageFault::MissingFile: return texts.text(20045).arg(problem.path);
        case ImageFault::NotRegularFile: return texts.text(20046).arg(problem.path);
        case ImageFault::TooLarge: return texts.text(20047).arg(problem.path);
        case ImageFault::Unreadable: return texts.text(20048).arg(problem.path);
        case ImageFault::BadSheet: return texts.text(20049).arg(problem.path);
    }
    return texts.text(20040);
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
