#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace qvr {

// How a data file named by a sheet holds its sectors.
enum class CueFileType {
    Binary,    // raw sectors, audio in little-endian 16-bit stereo
    Motorola,  // raw sectors, audio in big-endian samples
    Audio,     // an audio file (WAVE, FLAC, AIFF, MP3) to be decoded
};

// A FILE line: the name exactly as written (relative to the sheet's folder unless absolute).
struct CueFile {
    QString name;
    CueFileType type = CueFileType::Binary;
};

struct CueTrack {
    int number = 0;
    std::size_t file = 0;  // index into CueSheet::files
    bool audio = true;
    int sectorSize = 2352;   // bytes one sector of the track takes in a raw file
    std::int32_t start = 0;  // INDEX 01, in sectors from the start of its file
    QString title;
    QString performer;
};

// What a CUE sheet says: the disc's TITLE and PERFORMER, its data files and its tracks.
struct CueSheet {
    QString title;
    QString performer;
    std::vector<CueFile> files;
    std::vector<CueTrack> tracks;  // in the order of the sheet, at least one
};

// The sheet in `bytes` (UTF-8, else Latin-1; a byte-order mark is skipped); nothing when it is
// not a sheet that can be followed: an unknown command, a track without INDEX 01, a time
// outside 99:59:74, a track before any FILE, a line longer than a sheet's lines get.
std::optional<CueSheet> ParseCueSheet(const QByteArray& bytes);

}  // namespace qvr
