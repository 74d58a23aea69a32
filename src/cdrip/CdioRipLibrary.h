#pragma once

#include "cdrip/CDRipLibrary.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qvr {

// The extraction library over libcdio and libcdio-paranoia. Its drives are the system's CD
// drives, in libcdio's order, followed by the CUE images named in QUORVANE_CD_IMAGES (a list
// separated by ":"), read again by every CR_Init.
//
// Paranoia's corrections are the jitter errors: a chunk during which paranoia had to correct or
// skip answers 3, and its position pair is the first and last sector paranoia reported in that
// chunk. The record's jitter flag switches between full correction and none.
//
// CD-TEXT comes with the table of contents: from the disc, or from the TITLE and PERFORMER
// lines of a CUE sheet, written in UTF-8 or Latin-1.
//
// A table of contents whose tracks do not start in order at sector 0 or later, and an image whose
// first audio sector cannot be read, count as an unreadable disc. libcdio's messages never end
// the process (see installCdioLogHandler in the source).
class CdioRipLibrary : public CDRipLibrary {
  public:
    static constexpr std::int32_t kSectorsPerChunk = 26;
    static constexpr std::int32_t kSectorSize = 2352;
    static constexpr const char* kImagesVariable = "QUORVANE_CD_IMAGES";

    // `images`: CUE sheets offered as drives after the machine's drives and the images the
    // environment names.
    explicit CdioRipLibrary(QStringList images = {});
    ~CdioRipLibrary() override;

    std::int32_t CR_GetCDRipVersion() override;
    std::int32_t CR_Init() override;
    std::int32_t CR_GetActiveCDROM() override;
    std::int32_t CR_SetActiveCDROM(std::int32_t drive) override;
    std::int32_t CR_GetCDROMParameters(CdromParameters* parameters) override;
    std::int32_t CR_SetCDROMParameters(const CdromParameters* parameters) override;
    std::int32_t CR_ReadToc() override;
    void ForgetDisc() override;
    std::int32_t CR_GetNumTocEntries() override;
    TocEntry CR_GetTocEntry(std::int32_t entry) override;
    std::int32_t CR_OpenRipper(std::int32_t* bufferSize, std::int32_t firstSector,
                               std::int32_t lastSector) override;
    std::int32_t CR_RipChunk(std::uint8_t* destination, std::int32_t* byteCount) override;
    std::int32_t CR_GetPercentCompleted() override;
    void CR_GetLastJitterErrorPosition(std::uint32_t* start, std::uint32_t* end) override;
    std::int32_t CR_GetNumberOfJitterErrors() override;
    void CR_CloseRipper() override;

    QStringList DrivePaths() const override;
    CdText DiscCdText() const override;
    bool DiscUnreadable() const override;
    bool DiscPresent() override;

    struct Drive {
        std::string path;  // device or .cue file, in the system's bytes
        bool image = false;
        std::optional<CdromParameters> parameters;  // as last handed over or first described
    };
    struct RipSession;

  private:
    Drive* activeDrive();

    QStringList images_;
    std::vector<Drive> drives_;
    std::int32_t active_ = 0;
    std::vector<TocEntry> toc_;  // the tracks, then the lead-out
    CdText cdText_;
    bool unreadable_ = false;
    std::unique_ptr<RipSession> session_;
    std::int32_t jitterErrors_ = 0;
    std::uint32_t jitterStart_ = 0;
    std::uint32_t jitterEnd_ = 0;
};

}  // namespace qvr
