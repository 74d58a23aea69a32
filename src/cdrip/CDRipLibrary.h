#pragma once

#include "cdrip/CdDriveTypes.h"
#include "cdrip/CdText.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qvr {

// What the ripper component sets of a drive and hands back before every rip.
struct DriveSettings {
    bool jitterCorrection = false;
    TOutputFormat outputFormat = TOutputFormat::STEREO44100;

    bool operator==(const DriveSettings&) const = default;
};

// A drive as the library describes it.
struct DriveInfo {
    QString id;              // vendor and model, with a blank behind for the drive list
    std::int32_t speed = 0;  // the highest read speed in CD speed units; 0 when unknown
    TDriveTableClass driveTable;
    DriveSettings settings;  // as last handed over, else the library's own
};

struct TocTrack {
    std::int32_t startSector = 0;
    bool audio = true;
};

enum class DiscState {
    Read,
    NoDisc,      // the drive holds none, or tells nothing
    Unreadable,  // a disc or image was found but makes no sense (a damaged CUE sheet...)
};

// Why a CD image gives no disc: the file concerned and what is wrong with it.
enum class ImageFault {
    None,
    BadSheet,        // the sheet is not one that can be followed
    MissingFile,     // no file of that name
    NotRegularFile,  // a pipe, device, socket or folder: never opened
    TooLarge,        // more than a CD holds
    Unreadable,      // cannot be read, or decoded as audio
};
struct ImageProblem {
    ImageFault fault = ImageFault::None;
    QString path;

    bool operator==(const ImageProblem&) const = default;
};

// The table of contents of the disc in a drive; tracks, lead-out and CD-TEXT only when Read.
struct DiscToc {
    DiscState state = DiscState::NoDisc;
    std::vector<TocTrack> tracks;
    std::int32_t leadOutSector = 0;  // the last track ends before it
    CdText cdText;
    ImageProblem problem;  // with Unreadable, for an image
};

enum class ReadChunkResult {
    Chunk,
    ChunkWithJitter,  // delivered all the same, after corrections
    LastChunk,        // the range is complete
    Failed,           // nothing to write
};

// The first and last sector corrected in a chunk.
struct JitterSpan {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

struct ChunkRead {
    ReadChunkResult result = ReadChunkResult::LastChunk;
    std::int32_t bytes = 0;
    JitterSpan jitter;  // with ChunkWithJitter
};

// The CD digital-audio extraction library beneath the ripper component. The real one works over
// libcdio and libcdio-paranoia (CdioRipLibrary.h); tests put a scripted one in its place. A rip
// is openRipper, readChunk until LastChunk (or Failed, or the caller's abort), closeRipper.
class CDRipLibrary {
  public:
    virtual ~CDRipLibrary() = default;

    virtual std::int32_t version() = 0;
    // Looks for the drives afresh and makes the first one active; false when the library cannot
    // work at all.
    virtual bool findDrives() = 0;
    // Where each drive is found (device path or image file), in drive-number order, as of the
    // last findDrives. The drive list of a dialog shows it beside the identification.
    virtual QStringList drivePaths() const = 0;
    virtual std::int32_t activeDrive() = 0;
    // False, with the active drive unchanged, for a number the list does not hold.
    virtual bool selectDrive(std::int32_t drive) = 0;
    // Nothing when the active drive cannot be described.
    virtual std::optional<DriveInfo> describeActiveDrive() = 0;
    // The active drive's settings for the next rips; false when they are refused.
    virtual bool applySettings(const DriveSettings& settings) = 0;
    // Asks the active drive now: another disc may have been put in since the last reading.
    virtual DiscToc readToc() = 0;
    // Whether the active drive holds a readable disc now; tells a disc taken out during a rip
    // from a read error.
    virtual bool discPresent() = 0;

    // Prepares the rip of the range, both sectors included; answers the most bytes one chunk
    // can deliver, or nothing when the range cannot be read.
    virtual std::optional<std::int32_t> openRipper(std::int32_t firstSector,
                                                   std::int32_t lastSector) = 0;
    // The next chunk of 16-bit PCM into `destination`, which holds at least the size
    // openRipper answered. Without an open ripper: LastChunk with no bytes.
    virtual ChunkRead readChunk(std::span<std::uint8_t> destination) = 0;
    virtual std::int32_t percentCompleted() = 0;
    // The chunks with corrections of the current rip.
    virtual std::int32_t jitterErrorCount() = 0;
    virtual void closeRipper() = 0;
};

}  // namespace qvr
