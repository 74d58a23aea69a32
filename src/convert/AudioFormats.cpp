#include "AudioFormats.h"

#include "platform/Text.h"

namespace qvr {
namespace {

using enum KindTool;

// clang-format off
constexpr KindSpec kKinds[] = {
    // kind            ext      label   decoder    encoder    codec        deep format
    //                                  lossy  tags              stream   estimate
    {AudioKind::Mp3,  ".mp3",  "MP3",  Mp3Tool,   Mp3Tool,   "mp3",       "",
                                        true,  TagFamily::Mpeg,  "mp3",  16, 5},   // 3.2
    {AudioKind::Wav,  ".wav",  "WAV",  Copy,      Copy,      "",          "",
                                        false, TagFamily::Wav,   "",     2, 43},
    {AudioKind::Flac, ".flac", "FLAC", Converter, Converter, "flac",      "s32",
                                        false, TagFamily::Flac,  "flac", 6, 25},   // 0.24
    {AudioKind::Aiff, ".aiff", "AIFF", Converter, Converter, "pcm_s16be", "",
                                        false, TagFamily::Aiff,  "",     4, 43},
    {AudioKind::Aif,  ".aif",  "AIF",  Converter, Converter, "pcm_s16be", "",
                                        false, TagFamily::Aiff,  "",     4, 43},
    {AudioKind::Aac,  ".aac",  "AAC",  Converter, Converter, "aac",       "",
                                        true,  TagFamily::Adts,  "aac",  11, 4},   // 2.75
    {AudioKind::M4a,  ".m4a",  "M4A",  Converter, Converter, "alac",      "s32p",
                                        false, TagFamily::Mp4,   "",     5, 28},
};
// clang-format on

constexpr KindSpec kNoKind = {AudioKind::None, "", "", Copy, Copy, "", "", false,
                              TagFamily::None, "", 0,  1};

qsizetype lastSeparator(const QString& path, PathStyle style)
{
    if (style == PathStyle::Windows) {
        return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u':'));
    }
    return path.lastIndexOf(u'/');
}

QString lowerAsciiLetters(QString text)
{
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return text;
}

QString collapseDoubleSeparators(const QString& text, PathStyle style)
{
    const QString single = pathSeparator(style);
    return ReplaceAll(text, single + single, single);
}

}  // namespace

std::span<const KindSpec> AllKinds()
{
    return kKinds;
}

const KindSpec& KindRowOf(AudioKind kind)
{
    for (const KindSpec& row : kKinds) {
        if (row.kind == kind) {
            return row;
        }
    }
    return kNoKind;
}

QStringList KindLabels()
{
    QStringList labels;
    for (const KindSpec& row : kKinds) {
        labels << QLatin1String(row.label);
    }
    return labels;
}

QString ExtensionOf(const QString& name, PathStyle style)
{
    const QString trimmed = TrimBlanksAndControls(name);
    const qsizetype dot = trimmed.lastIndexOf(u'.');
    if (dot < 0 || dot < lastSeparator(trimmed, style)) {
        return QString();
    }
    return lowerAsciiLetters(trimmed.mid(dot));
}

AudioKind KindOf(const QString& name, PathStyle style)
{
    const QString extension = ExtensionOf(name, style);
    for (const KindSpec& row : kKinds) {
        if (extension == QLatin1String(row.extension)) {
            return row.kind;
        }
    }
    return AudioKind::None;
}

bool IsMp3File(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Mp3;
}
bool IsWavFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Wav;
}
bool IsFlacFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Flac;
}
bool IsAiffFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Aiff;
}
bool IsAifFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Aif;
}
bool IsAacFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::Aac;
}
bool IsM4aFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) == AudioKind::M4a;
}
bool IsSupportedFile(const QString& name, PathStyle style)
{
    return KindOf(name, style) != AudioKind::None;
}

QString KindExtension(AudioKind kind)
{
    return QLatin1String(KindRowOf(kind).extension);
}

QString KindLabel(AudioKind kind)
{
    return QLatin1String(KindRowOf(kind).label);
}

QString FileNameOf(const QString& path, PathStyle style)
{
    return path.mid(lastSeparator(path, style) + 1);
}

QString FolderOf(const QString& path, PathStyle style)
{
    return path.left(path.lastIndexOf(pathSeparator(style)) + 1);
}

QString MakeOutputName(const QString& fileName, const QString& frequencyText, PathStyle style)
{
    QString name = fileName;
    for (const KindSpec& row : kKinds) {
        if (KindOf(name, style) == row.kind) {
            const QString extension = QLatin1String(row.extension);
            name = ReplaceAll(name, extension,
                              u'-' + frequencyText + QStringLiteral(" Hz") + extension,
                              Qt::CaseInsensitive);
        }
    }
    return name;
}

QString MakeOutputFolder(const QString& inputPath, const QString& frequencyText, bool cdMode,
                         const QString& cdFolder, const QString& outputRoot, PathStyle style)
{
    const QString sep = pathSeparator(style);
    const QString frequencyFolder = frequencyText + QStringLiteral(" Hz");
    if (cdMode) {
        return collapseDoubleSeparators(cdFolder + frequencyFolder + sep, style);
    }
    QString folder = FolderOf(inputPath, style);
    if (!folder.endsWith(sep)) {
        folder += sep;
    }
    // The source folder without its drive: on Windows the text after the drive's colon, on
    // Linux the whole folder path. A network path or a drive's root gives nothing.
    QString piece;
    if (style == PathStyle::Windows) {
        const qsizetype colon = folder.indexOf(u':');
        if (colon >= 0) {
            const qsizetype next = folder.indexOf(u':', colon + 1);
            piece = folder.mid(colon + 1, next < 0 ? -1 : next - colon - 1);
        }
    } else {
        piece = folder;
    }
    if (piece.size() <= 1) {
        piece.clear();
    }
    piece.chop(piece.isEmpty() ? 0 : 1);
    QString result = outputRoot.left(outputRoot.size() - 1) + sep + frequencyFolder + piece;
    if (!result.endsWith(sep)) {
        result += sep;
    }
    return collapseDoubleSeparators(result, style);
}

QString WithMp3Extension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot < 0 ? fileName : fileName.left(dot)) + QStringLiteral(".mp3");
}

}  // namespace qvr
