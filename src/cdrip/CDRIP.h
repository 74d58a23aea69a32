#pragma once

#include "cdrip/CDRipLibrary.h"
#include "cdrip/CdResult.h"
#include "cdrip/ComponentEvents.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QFile;
class QTimer;

namespace qvr {

struct TTrack {
    std::int32_t TrackNum = 0;  // 1-based position in the table of contents
    std::int32_t StartSector = 0;
    std::int32_t EndSector = 0;  // one before the next entry's start
    QString TrackType;           // "Audio" or "Data"
    QString Title;               // CD-TEXT; empty when the disc names none
    QString Performer;           // CD-TEXT; empty when the disc names none for the track
};

// One entry of the track list: "Track01", "Track02" ... and its record.
struct TTrackItem {
    QString Text;
    TTrack Track;
};
using TTrackList = std::vector<TTrackItem>;

// The messages of the failures; a failure of the library adds what the library said, a failure
// of a file names the file and adds what the system said.
inline constexpr char kInitializationFailure[] = "Initialization failure";
inline constexpr char kErrorSettingParameters[] = "Error setting parameters";
inline constexpr char kInvalidCdromParameters[] = "Invalid CD-ROM parameters";
inline constexpr char kWriteError[] = "Write error";
// Our own refusals, before anything is opened or written.
inline constexpr char kUnknownOutputFormat[] = "Unknown output format";
inline constexpr char kRipRunning[] = "A rip is already running";
inline constexpr char kLibraryFault[] = "The extraction library failed";

// How a rip ended. Only a complete rip leaves a file under the output name.
enum class TRipOutcome {
    Complete,     // every sector of the range is in the file
    Aborted,      // Abort came first
    Unreadable,   // the library would not open the range (past the disc's end, not audio)
    ReadError,    // a chunk could not be read
    DiscRemoved,  // the drive holds no disc any more
};

// Where a rip writes until it is complete: a hidden name beside the output, in a kind no list
// of audio files takes up.
QString PartialRipName(const QString& outputName);

// Reads audio CDs through the extraction library: selects a drive, lists its tracks and rips a
// track into a WAV or headerless PCM file. RipTrack rips in one call (a
// handler of OnProgress may Abort); StartRipTrack rips one chunk per turn of the event loop, so
// that a window stays alive without handling events inside the rip. Every failure comes back as
// a CdFailure; nothing is thrown.
class TCDRIP : public QObject {
    Q_OBJECT
  public:
    // Initialises the library and reads the active drive; when the library fails inside,
    // startFailure() tells it ("Initialization failure" and what the library said).
    TCDRIP(QObject* owner, CDRipLibrary& library);
    ~TCDRIP() override;

    const std::optional<CdFailure>& startFailure() const { return startFailure_; }
    std::int32_t CDRomNum() const { return CDRomNum_; }
    // Selects another drive and appends its tracks; an unchanged number does nothing. Fails with
    // "Initialization failure" when the library fails inside; the lists keep what was appended.
    CdResult<void> setCDRomNum(std::int32_t drive);
    // Selects `drive` even when it is the active one and appends the tracks of the disc it holds
    // now: the way to see a disc that was changed in the same drive.
    CdResult<void> ReadDiscAgain(std::int32_t drive);
    // Absent until drive parameters have been read once.
    TDriveTableClass* DriveTable() const { return DriveTable_.get(); }
    // Changes only this component's copy (when it exists); the next reading replaces it.
    void setDriveTable(const TDriveTableClass& values);
    TOutputFormat OutputFormat() const { return OutputFormat_; }
    void setOutputFormat(TOutputFormat format);
    bool WriteWAV() const { return WriteWAV_; }
    void setWriteWAV(bool value) { WriteWAV_ = value; }
    bool JitterCorrect() const { return JitterCorrect_; }
    void setJitterCorrect(bool value);
    const QString& Version() const { return Version_; }
    void setVersion(const QString& value) { Version_ = value; }
    std::int32_t Speed() const { return Speed_; }

    TProcessTrackEvent OnBeginTrack;
    TProcessTrackEvent OnEndTrack;
    TProgressEvent OnProgress;

    // The active drive's identification text.
    const QString& CDRomID() const { return CDRomID_; }
    TTrackList& Tracks() { return Tracks_; }
    const TTrackList& Tracks() const { return Tracks_; }
    std::int32_t NumTracks() const { return NumTracks_; }
    // The CD-TEXT of the disc read last; empty when that reading failed.
    const CdTextEntry& DiscText() const { return DiscText_; }
    // The last reading found a disc or image it could not make sense of.
    bool DiscUnreadable() const { return DiscUnreadable_; }
    // For an unreadable image: which file is wrong and how.
    const ImageProblem& DiscProblem() const { return DiscProblem_; }
    std::int32_t JitterErrors() const { return JitterErrors_; }
    // One line per jitter error of every rip since creation.
    const QStringList& JitterLog() const { return JitterLog_; }

    // Hands the drive settings to the library; false when it refuses them.
    CdResult<bool> ApplyParameters();
    // Rips the sectors of Tracks()[trackNumber - 1], between OnBeginTrack and OnEndTrack; after
    // a failure OnEndTrack is not raised.
    CdResult<TRipOutcome> RipTrack(std::int32_t trackNumber, const QString& fileName);
    // Writes under PartialRipName and gives the file its name once the last chunk is in; every
    // other end, failures included, removes it. A WAV header announces the bytes the file holds.
    CdResult<TRipOutcome> RipSectors(std::int32_t firstSector, std::int32_t lastSector,
                                     const QString& fileName);
    // Rips as RipTrack does, one chunk per turn of the event loop, and returns at once; the end
    // comes as trackRipped, or as ripFailed for a failure once the rip has begun. A failure
    // before the rip begins (a track outside the list, refused parameters, another rip running,
    // a file that cannot be created) is answered here.
    CdResult<void> StartRipTrack(std::int32_t trackNumber, const QString& fileName);
    // From StartRipTrack to trackRipped or ripFailed.
    bool TrackInProgress() const { return trackInProgress_ != 0; }
    // A running rip stops before its next chunk; one of StartRipTrack that waits for its next
    // turn ends at once.
    void Abort();

  signals:
    // After OnEndTrack.
    void trackRipped(std::int32_t trackNumber, qvr::TRipOutcome outcome);
    // The rip has been cleaned up; OnEndTrack is not raised.
    void ripFailed(const qvr::CdFailure& failure);

  private:
    struct RipBuffers;
    struct ActiveRip;

    // A step of the rip: how it ended, or nothing while chunks are to come.
    using RipStep = CdResult<std::optional<TRipOutcome>>;

    void start();
    void readActiveDrive();
    CdResult<void> selectDrive(std::int32_t drive);
    bool readParameters();
    void ReadToc();
    CdResult<TTrack> trackAt(std::int32_t trackNumber) const;
    CdResult<void> checkRipCanStart();
    RipStep beginRip(std::int32_t firstSector, std::int32_t lastSector, const QString& fileName);
    RipStep openRipper(std::int32_t firstSector, std::int32_t lastSector);
    CdResult<void> openOutput(std::int32_t firstSector, std::int32_t lastSector);
    RipStep ripNextChunk();
    RipStep readOneChunk();
    CdResult<TRipOutcome> endRip(TRipOutcome outcome);
    void abandonRip();
    void ripTurn();
    void failTrackInProgress(const CdFailure& failure);
    std::int32_t closeTrackInProgress();
    TRipOutcome unreadOutcome(TRipOutcome withDisc);
    void logJitterError(const JitterSpan& span);
    CdResult<void> finishRip(QFile& file);
    CdResult<void> saveJitterLog(const QString& outputName) const;

    CDRipLibrary& library_;
    std::optional<CdFailure> startFailure_;
    // What goes back to the library: its own values for the drive read last, with the changes
    // of JitterCorrect and OutputFormat.
    DriveSettings settings_;
    std::int32_t CDRomNum_ = 0;
    std::unique_ptr<TDriveTableClass> DriveTable_;
    TOutputFormat OutputFormat_ = TOutputFormat::STEREO44100;
    bool WriteWAV_ = false;
    bool JitterCorrect_ = false;
    QString Version_;
    std::int32_t Speed_ = 0;
    QString CDRomID_;
    TTrackList Tracks_;
    std::int32_t NumTracks_ = 0;
    CdTextEntry DiscText_;
    bool DiscUnreadable_ = false;
    ImageProblem DiscProblem_;
    std::int32_t JitterErrors_ = 0;
    QStringList JitterLog_;
    bool aborted_ = false;
    std::unique_ptr<ActiveRip> rip_;       // between opening and closing the library's ripper
    QTimer* turns_;                        // the turns of a rip of StartRipTrack
    std::int32_t trackInProgress_ = 0;     // of StartRipTrack; 0 when none
    std::optional<TRipOutcome> trackEnd_;  // how it ended, before its clean-up
    bool inTurn_ = false;
};

}  // namespace qvr
