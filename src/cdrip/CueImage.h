#pragma once

#include "cdrip/CDRipLibrary.h"
#include "cdrip/CueSheet.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace qvr {

class DecodedAudio;

// A CD image as its CUE sheet describes it: the data files the FILE lines name, relative to the
// sheet's folder, one after the other on one disc. Raw files (BINARY, MOTOROLA) hold sectors;
// audio files (WAV, FLAC...) are decoded as they are read, each taking whole sectors (the last
// one filled with silence). A track starts at its INDEX 01 and runs to the next one's.
//
// Only regular files are opened, and none larger than a CD can hold, so a pipe, a device or a
// huge sparse file is refused before anything is read.
class CueImage {
  public:
    static constexpr std::int32_t kSectorSize = 2352;
    static constexpr std::int32_t kFramesPerSector = 588;
    // 100 minutes: past the last time a sheet can write (99:59:74).
    static constexpr std::int32_t kMostSectors = 100 * 60 * 75;
    static constexpr qint64 kLargestSheet = 1 << 20;

    // The image of the sheet with its data files open; nothing, with the reason in `problem`,
    // when the sheet or one of its files cannot be used.
    static std::unique_ptr<CueImage> open(const QString& sheetPath, ImageProblem& problem);
    ~CueImage();

    // Tracks, lead-out and the sheet's TITLE and PERFORMER lines.
    DiscToc toc() const;
    // `count` audio sectors from `first` into `destination` (kSectorSize bytes each); false when
    // one of them lies outside the files or cannot be read.
    bool read(std::int32_t first, std::int32_t count, std::uint8_t* destination);

    struct DataFile {
        QString path;
        CueFileType type = CueFileType::Binary;
        std::int32_t sectorSize = kSectorSize;
        std::int32_t firstSector = 0;  // on the disc
        std::int32_t sectors = 0;
        std::unique_ptr<QFile> raw;
        std::unique_ptr<DecodedAudio> audio;
    };

  private:
    CueImage() = default;
    bool readSector(std::int32_t sector, std::uint8_t* destination);

    CueSheet sheet_;
    std::vector<DataFile> files_;
};

}  // namespace qvr
