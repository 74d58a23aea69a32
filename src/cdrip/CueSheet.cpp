#include "CueSheet.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace qvr {
namespace {

// Sheets are written by programs and people; a longer line is not one of theirs.
constexpr qsizetype kLongestLine = 4096;

// Commands that tell nothing the rip needs: catalogue numbers, flags, pregaps the data files do
// not hold, and the other CD-TEXT fields.
const QStringList kIgnored = {"REM",       "CATALOG",  "CDTEXTFILE", "FLAGS",    "ISRC",
                              "PREGAP",    "POSTGAP",  "SONGWRITER", "COMPOSER", "ARRANGER",
                              "MESSAGE",   "DISC_ID",  "GENRE",      "UPC_EAN",  "TOC_INFO1",
                              "TOC_INFO2", "SIZE_INFO"};

QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

// The command's argument as one text: the quoted part, or the rest of the line.
std::optional<QString> textArgument(const QString& rest)
{
    if (!rest.startsWith(u'"')) {
        return rest;
    }
    const qsizetype close = rest.indexOf(u'"', 1);
    if (close < 0) {
        return std::nullopt;
    }
    return rest.mid(1, close - 1);
}

// `"name with blanks.bin" BINARY`, or the same unquoted: the type is the last word.
std::optional<CueFile> fileArgument(const QString& rest)
{
    const qsizetype nameEnd = rest.lastIndexOf(QRegularExpression(QStringLiteral("\\s")));
    if (nameEnd <= 0) {
        return std::nullopt;
    }
    const QString type = rest.mid(nameEnd + 1).toUpper();
    QString name = rest.left(nameEnd).trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        name = name.mid(1, name.size() - 2);
    }
    CueFile file{name, CueFileType::Binary};
    if (type == QStringLiteral("MOTOROLA")) {
        file.type = CueFileType::Motorola;
    } else if (QStringList{"WAVE", "FLAC", "AIFF", "MP3"}.contains(type)) {
        file.type = CueFileType::Audio;
    } else if (type != QStringLiteral("BINARY")) {
        return std::nullopt;
    }
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return file;
}

// Bytes per sector of a track mode; 0 for a mode a CD does not have.
int sectorSizeOf(const QString& mode)
{
    static const std::pair<const char*, int> kModes[] = {
        {"AUDIO", 2352},      {"MODE1/2048", 2048}, {"MODE1/2352", 2352}, {"MODE2/2336", 2336},
        {"MODE2/2352", 2352}, {"CDI/2336", 2336},   {"CDI/2352", 2352},   {"CDG", 2448}};
    for (const auto& [name, size] : kModes) {
        if (mode == QLatin1String(name)) {
            return size;
        }
    }
    return 0;
}

// mm:ss:ff as sectors; nothing outside 99:59:74.
std::optional<std::int32_t> sectorsOf(const QString& time)
{
    static const QRegularExpression kTime(QStringLiteral("^(\\d{1,2}):(\\d{1,2}):(\\d{1,2})$"));
    const QRegularExpressionMatch match = kTime.match(time);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int minutes = match.captured(1).toInt();
    const int seconds = match.captured(2).toInt();
    const int frames = match.captured(3).toInt();
    if (seconds > 59 || frames > 74) {
        return std::nullopt;
    }
    return (minutes * 60 + seconds) * 75 + frames;
}

class SheetReader {
  public:
    bool line(const QString& written);
    std::optional<CueSheet> finish();

  private:
    bool track(const QString& rest);
    bool index(const QString& rest);
    bool text(const QString& command, const QString& rest);

    CueSheet sheet_;
    std::vector<bool> started_;  // per track: INDEX 01 seen
};

bool SheetReader::line(const QString& written)
{
    const QString trimmed = written.trimmed();
    if (trimmed.isEmpty()) {
        return true;
    }
    const qsizetype blank = trimmed.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString command = trimmed.left(blank < 0 ? trimmed.size() : blank).toUpper();
    const QString rest = blank < 0 ? QString() : trimmed.mid(blank).trimmed();
    if (command == QStringLiteral("FILE")) {
        const std::optional<CueFile> file = fileArgument(rest);
        if (file) {
            sheet_.files.push_back(*file);
        }
        return file.has_value();
    }
    if (command == QStringLiteral("TRACK")) {
        return track(rest);
    }
    if (command == QStringLiteral("INDEX")) {
        return index(rest);
    }
    if (command == QStringLiteral("TITLE") || command == QStringLiteral("PERFORMER")) {
        return text(command, rest);
    }
    return kIgnored.contains(command);
}

bool SheetReader::track(const QString& rest)
{
    const QStringList words =
        rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool number = false;
    const int value = words.value(0).toInt(&number);
    const int size = sectorSizeOf(words.value(1).toUpper());
    const int previous = sheet_.tracks.empty() ? 0 : sheet_.tracks.back().number;
    if (sheet_.files.empty() || words.size() != 2 || !number || value <= previous || value > 99 ||
        size == 0) {
        return false;
    }
    CueTrack track;
    track.number = value;
    track.file = sheet_.files.size() - 1;
    track.audio = words[1].toUpper() == QStringLiteral("AUDIO");
    track.sectorSize = size;
    sheet_.tracks.push_back(track);
    started_.push_back(false);
    return true;
}

bool SheetReader::index(const QString& rest)
{
    const QStringList words =
        rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool number = false;
    const int value = words.value(0).toInt(&number);
    const std::optional<std::int32_t> sector = sectorsOf(words.value(1));
    if (sheet_.tracks.empty() || words.size() != 2 || !number || value > 99 || !sector) {
        return false;
    }
    // INDEX 00 opens the pause before a track, which belongs to the track before, as on a CD.
    if (value == 1) {
        CueTrack& track = sheet_.tracks.back();
        track.start = *sector;
        // A track cannot start before the one before it in the same file.
        const bool earlier = sheet_.tracks.size() > 1 &&
                             sheet_.tracks[sheet_.tracks.size() - 2].file == track.file &&
                             sheet_.tracks[sheet_.tracks.size() - 2].start >= track.start;
        if (started_.back() || earlier) {
            return false;
        }
        started_.back() = true;
    }
    return true;
}

bool SheetReader::text(const QString& command, const QString& rest)
{
    const std::optional<QString> value = textArgument(rest);
    if (!value) {
        return false;
    }
    const bool disc = sheet_.tracks.empty();
    QString& field = command == QStringLiteral("TITLE")
                         ? (disc ? sheet_.title : sheet_.tracks.back().title)
                         : (disc ? sheet_.performer : sheet_.tracks.back().performer);
    field = value->trimmed();
    return true;
}

std::optional<CueSheet> SheetReader::finish()
{
    if (sheet_.tracks.empty() ||
        std::find(started_.begin(), started_.end(), false) != started_.end()) {
        return std::nullopt;
    }
    return sheet_;
}

}  // namespace

std::optional<CueSheet> ParseCueSheet(const QByteArray& bytes)
{
    SheetReader reader;
    for (const QString& line : decoded(bytes).split(u'\n')) {
        if (line.size() > kLongestLine || !reader.line(line)) {
            return std::nullopt;
        }
    }
    return reader.finish();
}

}  // namespace qvr
