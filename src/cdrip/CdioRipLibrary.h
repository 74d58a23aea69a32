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
// separated by ":"), looked for again by every findDrives.
//
// Paranoia's corrections are the jitter errors: a chunk during which paranoia had to correct or
// skip is a ChunkWithJitter, its span the first and last sector paranoia reported in that chunk.
// The drive's jitter correction setting switches between full correction and none.
//
// An image is read by CueImage, not by libcdio: the sheet's FILE lines decide its data files, which
// may be raw sectors or audio files, and only regular files of a CD's size are opened.
//
// CD-TEXT comes with the table of contents: from the disc, or from the TITLE and PERFORMER
// lines of a CUE sheet, written in UTF-8 or Latin-1.
//
// A table of contents whose tracks do not start in order at sector 0 or later, and an image whose
// first audio sector cannot be read, count as an unreadable disc; for an image the table says
// which file is at fault. libcdio's messages never end the process (see installCdioLogHandler in
// the source).
class CdioRipLibrary : public CDRipLibrary {
  public:
    static constexpr std::int32_t kSectorsPerChunk = 26;
    static constexpr std::int32_t kSectorSize = 2352;
    static constexpr const char* kImagesVariable = "QUORVANE_CD_IMAGES";

    // `images`: CUE sheets offered as drives after the machine's drives and the images the
    // environment names.
    explicit CdioRipLibrary(QStringList images = {});
    ~CdioRipLibrary() override;

    std::int32_t version() override;
    bool findDrives() override;
    QStringList drivePaths() const override;
    std::int32_t activeDrive() override;
    bool selectDrive(std::int32_t drive) override;
    std::optional<DriveInfo> describeActiveDrive() override;
    bool applySettings(const DriveSettings& settings) override;
    DiscToc readToc() override;
    bool discPresent() override;
    std::optional<std::int32_t> openRipper(std::int32_t firstSector,
                                           std::int32_t lastSector) override;
    ChunkRead readChunk(std::span<std::uint8_t> destination) override;
    std::int32_t percentCompleted() override;
    std::int32_t jitterErrorCount() override;
    void closeRipper() override;

    struct Drive {
        std::string path;  // device or CUE sheet, in the system's bytes
        bool image = false;
        std::optional<DriveInfo> info;  // described once, with the settings last handed over
    };
    struct RipSession;

  private:
    Drive* active();
    Drive* describedActive();

    QStringList images_;
    std::vector<Drive> drives_;
    std::int32_t active_ = 0;
    std::unique_ptr<RipSession> session_;
    std::int32_t jitterErrors_ = 0;
};

}  // namespace qvr
