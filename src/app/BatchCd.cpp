#include "BatchCd.h"

#include "cdrip/CDRIP.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/FileNames.h"
#include "cdrip/TrackNames.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <QDate>
#include <QEventLoop>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace qvr {
namespace {

// The drive the source names: a CUE sheet is offered as a drive of its own; a device may be
// named through a link such as /dev/cdrom.
int driveIndex(const QStringList& drives, const QString& source)
{
    const QString wanted = CanonicalFilePath(source);
    for (int i = 0; i < drives.size(); ++i) {
        if (drives[i] == source || (!wanted.isEmpty() && CanonicalFilePath(drives[i]) == wanted)) {
            return i;
        }
    }
    return -1;
}

QString albumName(const QString& given, const TCDRIP& component)
{
    if (!TrimBlanksAndControls(given).isEmpty()) {
        return TrimBlanksAndControls(given);
    }
    const QString title = TrimBlanksAndControls(component.DiscText().title);
    return title.isEmpty()
               ? QStringLiteral("Audio CD ") + QDate::currentDate().toString(Qt::ISODate)
               : title;
}

// Every track of the disc when none are named; a named track the disc lacks is an error.
std::optional<std::vector<int>> chosenTracks(const std::vector<int>& named, int trackCount)
{
    std::vector<int> tracks = named;
    if (tracks.empty()) {
        for (int number = 1; number <= trackCount; ++number) {
            tracks.push_back(number);
        }
    }
    if (std::any_of(tracks.begin(), tracks.end(),
                    [trackCount](int number) { return number < 1 || number > trackCount; })) {
        return std::nullopt;
    }
    return tracks;
}

// The component set up as the ripper dialog sets it: WAV files, no jitter correction.
void configure(TCDRIP& component)
{
    component.setWriteWAV(true);
    component.setJitterCorrect(false);
}

// The track a chunk at a time in the batch's event loop, until it has ended; a failure of the rip
// is answered as RipTrack would answer it.
CdResult<TRipOutcome> ripInEventLoop(TCDRIP& component, int number, const QString& wavPath)
{
    std::optional<CdResult<TRipOutcome>> ended;
    QEventLoop loop;
    QObject::connect(&component, &TCDRIP::trackRipped, &loop,
                     [&](std::int32_t, TRipOutcome outcome) {
                         ended = outcome;
                         loop.quit();
                     });
    QObject::connect(&component, &TCDRIP::ripFailed, &loop, [&](const CdFailure& failure) {
        ended = failure;
        loop.quit();
    });
    if (const CdResult<void> started = component.StartRipTrack(number, wavPath); !started) {
        return started.failure();
    }
    if (component.TrackInProgress()) {
        loop.exec();
    }
    return *ended;
}

}  // namespace

std::optional<std::vector<int>> ParseTrackList(const QString& text)
{
    static const QRegularExpression kPart(QStringLiteral("^(\\d{1,3})(?:-(\\d{1,3}))?$"));
    std::set<int> numbers;
    for (const QString& part : text.split(u',')) {
        const QRegularExpressionMatch match = kPart.match(part.trimmed());
        if (!match.hasMatch()) {
            return std::nullopt;
        }
        const int first = match.captured(1).toInt();
        const int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
        if (first < 1 || last < first) {
            return std::nullopt;
        }
        for (int number = first; number <= last; ++number) {
            numbers.insert(number);
        }
    }
    return std::vector<int>(numbers.begin(), numbers.end());
}

void CdBatchRipper::abort()
{
    aborted_ = true;
    if (running_ != nullptr) {
        running_->Abort();
    }
}

CdBatchRip CdBatchRipper::rip(const CdBatchRequest& request, const QString& cdInputFolder)
{
    CdBatchRip result;
    const bool image = request.source.endsWith(QStringLiteral(".cue"), Qt::CaseInsensitive);
    CdioRipLibrary library(image ? QStringList{request.source} : QStringList());
    TCDRIP component(nullptr, library);
    if (component.startFailure()) {
        result.failure = component.startFailure();
        return result;
    }
    configure(component);
    const int drive = driveIndex(library.drivePaths(), request.source);
    if (drive < 0) {
        result.failure = CdFailure{CdError::NoDrive,
                                   QStringLiteral("no CD drive or CUE sheet ") + request.source};
        return result;
    }
    // The component has read the first drive already; another one replaces its tracks.
    if (drive != component.CDRomNum()) {
        component.Tracks().clear();
        if (const CdResult<void> selected = component.setCDRomNum(drive); !selected) {
            result.failure = selected.failure();
            return result;
        }
    }
    const TTrackList& entries = component.Tracks();
    if (entries.empty() || component.DiscUnreadable()) {
        result.failure =
            CdFailure{CdError::UnreadableDisc, QStringLiteral("the disc in ") + request.source +
                                                   QStringLiteral(" cannot be read")};
        result.problem = component.DiscProblem();
        return result;
    }
    const std::optional<std::vector<int>> tracks =
        chosenTracks(request.tracks, static_cast<int>(entries.size()));
    if (!tracks) {
        result.failure =
            CdFailure{CdError::NoSuchTrack,
                      QStringLiteral("the disc has tracks 1 to %1").arg(entries.size())};
        return result;
    }
    result.album = albumName(request.cdName, component);
    const QString& inputFolder = cdInputFolder;
    result.cdFolder =
        inputFolder + CdFolderName(inputFolder, CleanedCdName(result.album), result.album) + u'/';
    ForceDirectories(result.cdFolder);
    MarkCdFolder(result.cdFolder, result.album);
    RemoveEarlierTrackFiles(result.cdFolder);

    RippedDisc& disc = result.disc;
    disc.trackCount = static_cast<int>(entries.size());
    disc.markedCount = static_cast<int>(tracks->size());
    disc.performer = component.DiscText().performer;
    running_ = &component;
    for (const int number : *tracks) {
        if (aborted_) {
            break;
        }
        const TTrack& track = entries[static_cast<std::size_t>(number - 1)].Track;
        const QString title = track.Title.isEmpty()
                                  ? entries[static_cast<std::size_t>(number - 1)].Text
                                  : track.Title;
        const QString wavPath = result.cdFolder + TrackFileTitle(title) + QStringLiteral(".wav");
        const CdResult<TRipOutcome> ripped = ripInEventLoop(component, number, wavPath);
        if (!ripped) {
            // A file that cannot be written will not be written for the next track either.
            result.failure = ripped.failure();
            break;
        }
        const TRipOutcome outcome = *ripped;
        if (outcome == TRipOutcome::Complete) {
            disc.tracks.push_back(RippedTrack{number, title, track.Performer, wavPath});
        } else if (outcome != TRipOutcome::Aborted) {
            disc.failed.push_back(FailedTrack{number, title, FailureOf(track, outcome)});
        }
    }
    running_ = nullptr;
    return result;
}

}  // namespace qvr
