#include "CueImage.h"

#include "cdrip/DecodedAudio.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace qvr {
namespace {

// The file opened when it is a regular file; otherwise why not.
std::unique_ptr<QFile> openRegular(const QString& path, ImageProblem& problem)
{
    std::unique_ptr<QFile> file = OpenRegularFile(path);
    if (!file) {
        // Asked without opening: the name may be a pipe that would wait for a writer.
        problem = {!QFileInfo::exists(path) ? ImageFault::MissingFile
                   : IsRegularFile(path)    ? ImageFault::Unreadable
                                            : ImageFault::NotRegularFile,
                   path};
    }
    return file;
}

// The sectors a raw file holds, or why it cannot be used.
std::optional<std::int32_t> rawSectors(const QFile& file, std::int32_t sectorSize,
                                       const QString& path, ImageProblem& problem)
{
    const qint64 size = file.size();
    if (size > qint64{CueImage::kMostSectors} * sectorSize) {
        problem = {ImageFault::TooLarge, path};
        return std::nullopt;
    }
    return static_cast<std::int32_t>(size / sectorSize);
}

// The whole sectors an audio file fills, or why it cannot be used.
std::optional<std::int32_t> audioSectors(const DecodedAudio* audio, const QString& path,
                                         ImageProblem& problem)
{
    if (audio == nullptr) {
        problem = {ImageFault::Unreadable, path};
        return std::nullopt;
    }
    const std::int64_t frames = audio->frames();
    if (frames > std::int64_t{CueImage::kMostSectors} * CueImage::kFramesPerSector) {
        problem = {ImageFault::TooLarge, path};
        return std::nullopt;
    }
    return static_cast<std::int32_t>((frames + CueImage::kFramesPerSector - 1) /
                                     CueImage::kFramesPerSector);
}

// Every track of a raw file has sectors of one size, the file's; an audio file holds audio only.
std::optional<std::int32_t> sectorSizeOf(const CueSheet& sheet, std::size_t file)
{
    std::optional<std::int32_t> size;
    for (const CueTrack& track : sheet.tracks) {
        if (track.file != file) {
            continue;
        }
        const bool fits = sheet.files[file].type == CueFileType::Audio
                              ? track.audio
                              : !size || *size == track.sectorSize;
        if (!fits) {
            return std::nullopt;
        }
        size = track.sectorSize;
    }
    return size.value_or(CueImage::kSectorSize);
}

std::optional<CueSheet> readSheet(const QString& sheetPath, ImageProblem& problem)
{
    const std::unique_ptr<QFile> file = openRegular(sheetPath, problem);
    if (!file) {
        return std::nullopt;
    }
    std::optional<CueSheet> sheet;
    if (file->size() <= CueImage::kLargestSheet) {
        sheet = ParseCueSheet(file->read(CueImage::kLargestSheet));
    }
    if (!sheet) {
        problem = {ImageFault::BadSheet, sheetPath};
    }
    return sheet;
}

void swapSamples(std::uint8_t* bytes, std::int32_t count)
{
    for (std::int32_t i = 0; i + 1 < count; i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
}

}  // namespace

CueImage::~CueImage() = default;

std::unique_ptr<CueImage> CueImage::open(const QString& sheetPath, ImageProblem& problem)
{
    problem = {};
    std::optional<CueSheet> sheet = readSheet(sheetPath, problem);
    if (!sheet) {
        return nullptr;
    }
    std::unique_ptr<CueImage> image(new CueImage);
    image->sheet_ = std::move(*sheet);
    const QDir folder = QFileInfo(sheetPath).dir();
    std::int32_t sector = 0;
    for (std::size_t i = 0; i < image->sheet_.files.size(); ++i) {
        const CueFile& named = image->sheet_.files[i];
        DataFile file;
        file.path = folder.filePath(named.name);
        file.type = named.type;
        const std::optional<std::int32_t> size = sectorSizeOf(image->sheet_, i);
        if (!size) {
            problem = {ImageFault::BadSheet, sheetPath};
            return nullptr;
        }
        file.sectorSize = *size;
        file.raw = openRegular(file.path, problem);
        if (!file.raw) {
            return nullptr;
        }
        std::optional<std::int32_t> sectors;
        if (file.type == CueFileType::Audio) {
            file.raw.reset();  // checked; the decoder opens it itself
            file.audio = DecodedAudio::open(file.path);
            sectors = audioSectors(file.audio.get(), file.path, problem);
        } else {
            sectors = rawSectors(*file.raw, file.sectorSize, file.path, problem);
        }
        if (!sectors) {
            return nullptr;
        }
        if (sector + *sectors > kMostSectors) {
            problem = {ImageFault::TooLarge, file.path};
            return nullptr;
        }
        file.firstSector = sector;
        file.sectors = *sectors;
        sector += *sectors;
        image->files_.push_back(std::move(file));
    }
    return image;
}

DiscToc CueImage::toc() const
{
    DiscToc toc;
    toc.state = DiscState::Read;
    toc.cdText.disc = {TrimBlanksAndControls(sheet_.title),
                       TrimBlanksAndControls(sheet_.performer)};
    for (const CueTrack& track : sheet_.tracks) {
        toc.tracks.push_back(TocTrack{files_[track.file].firstSector + track.start, track.audio});
        toc.cdText.tracks.push_back(
            {TrimBlanksAndControls(track.title), TrimBlanksAndControls(track.performer)});
    }
    toc.leadOutSector = files_.empty() ? 0 : files_.back().firstSector + files_.back().sectors;
    return toc;
}

bool CueImage::readSector(std::int32_t sector, std::uint8_t* destination)
{
    const auto file = std::find_if(files_.begin(), files_.end(), [sector](const DataFile& f) {
        return sector >= f.firstSector && sector < f.firstSector + f.sectors;
    });
    if (file == files_.end()) {
        return false;
    }
    const std::int32_t inFile = sector - file->firstSector;
    if (file->audio) {
        return file->audio->read(std::int64_t{inFile} * kFramesPerSector,
                                 std::span<std::uint8_t>(destination, kSectorSize));
    }
    if (file->sectorSize != kSectorSize || !file->raw->seek(qint64{inFile} * kSectorSize) ||
        file->raw->read(reinterpret_cast<char*>(destination), kSectorSize) != kSectorSize) {
        return false;
    }
    if (file->type == CueFileType::Motorola) {
        swapSamples(destination, kSectorSize);
    }
    return true;
}

bool CueImage::read(std::int32_t first, std::int32_t count, std::uint8_t* destination)
{
    for (std::int32_t i = 0; i < count; ++i) {
        if (!readSector(first + i,
                        destination + std::size_t{static_cast<std::size_t>(i)} * kSectorSize)) {
            return false;
        }
    }
    return true;
}

}  // namespace qvr
