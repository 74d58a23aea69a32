#pragma once

#include "cdrip/CdText.h"

#include <QStringList>

#include <array>
#include <cstdint>

namespace qvr {

// The CD digital-audio extraction library as the ripper component calls it. The real one works
// over libcdio and libcdio-paranoia (CdioRipLibrary.h); tests put a scripted one in its place.
// Every result of 1 means failure.

inline constexpr std::int32_t kCrOk = 0;
inline constexpr std::int32_t kCrFailure = 1;
inline constexpr std::int32_t kCrJitterError = 3;  // the chunk is delivered all the same
inline constexpr std::int32_t kCrRippingDone = 4;  // the last chunk of the range

inline constexpr int kCdromParameterSize = 340;
using CdromParameters = std::array<std::uint8_t, kCdromParameterSize>;

// Where the ripper component finds its parts of the drive parameter record; all little-endian.
namespace cdrom_parameters {
inline constexpr int kIdOffset = 0;  // identification text, zero-terminated
inline constexpr int kIdSize = 256;
inline constexpr int kSpeedOffset = 276;
inline constexpr int kJitterFlagOffset = 284;  // -1 correction on, 0 off
inline constexpr int kDriveTableOffset = 292;  // seven 32-bit values
inline constexpr int kDriveTableValues = 7;
inline constexpr int kOutputFormatOffset = 327;  // 32-bit, unaligned; readers use its first byte
}  // namespace cdrom_parameters

// One table-of-contents entry, returned by value.
struct TocEntry {
    std::int32_t startSector = 0;
    std::uint8_t flags = 0;  // 16 for an audio track
    std::uint8_t trackNumber = 0;
    std::uint8_t reserved[2] = {0, 0};
};
static_assert(sizeof(TocEntry) == 8);

inline constexpr std::uint8_t kTocAudioFlags = 16;
inline constexpr std::uint8_t kTocDataFlags = 20;

class CDRipLibrary {
  public:
    virtual ~CDRipLibrary() = default;

    virtual std::int32_t CR_GetCDRipVersion() = 0;
    virtual std::int32_t CR_Init() = 0;
    virtual std::int32_t CR_GetActiveCDROM() = 0;
    virtual std::int32_t CR_SetActiveCDROM(std::int32_t drive) = 0;
    virtual std::int32_t CR_GetCDROMParameters(CdromParameters* parameters) = 0;
    virtual std::int32_t CR_SetCDROMParameters(const CdromParameters* parameters) = 0;
    virtual std::int32_t CR_ReadToc() = 0;
    // Drops what is known of the active drive's disc (table of contents, CD-TEXT), so that the
    // next CR_ReadToc asks the drive again: another disc may have been put in.
    virtual void ForgetDisc() = 0;
    virtual std::int32_t CR_GetNumTocEntries() = 0;
    virtual TocEntry CR_GetTocEntry(std::int32_t entry) = 0;
    virtual std::int32_t CR_OpenRipper(std::int32_t* bufferSize, std::int32_t firstSector,
                                       std::int32_t lastSector) = 0;
    virtual std::int32_t CR_RipChunk(std::uint8_t* destination, std::int32_t* byteCount) = 0;
    virtual std::int32_t CR_GetPercentCompleted() = 0;
    virtual void CR_GetLastJitterErrorPosition(std::uint32_t* start, std::uint32_t* end) = 0;
    virtual std::int32_t CR_GetNumberOfJitterErrors() = 0;
    virtual void CR_CloseRipper() = 0;

    // Where each drive of the list is found (device path or image file), in drive-number order,
    // as of the last CR_Init. The drive list of a dialog shows it beside the identification.
    virtual QStringList DrivePaths() const = 0;

    // The CD-TEXT of the disc whose table of contents CR_ReadToc read last; empty when that
    // reading failed or the disc carries none.
    virtual CdText DiscCdText() const = 0;

    // True when the last CR_ReadToc failed on a disc or image it found but could not make sense
    // of (a damaged CUE sheet, an image whose data cannot be read); false when it succeeded or
    // the drive simply holds no disc.
    virtual bool DiscUnreadable() const = 0;

    // Whether the active drive holds a readable disc now; tells a disc taken out during a rip
    // from a read error.
    virtual bool DiscPresent() = 0;
};

// The process's extraction library, over libcdio.
CDRipLibrary& cdRipLibrary();

}  // namespace qvr
