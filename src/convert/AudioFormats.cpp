#include "AudioFormats.h"

#include "platform/Text.h"

namespace qvr {
namespace {

struct KindRow {
    AudioKind kind;
    const char* extension;
    const char* label;
};

// In the order the naming rule tries them.
constexpr KindRow kKinds[] = {
    {AudioKind::Mp3, ".mp3", "MP3"},    {AudioKind::Wav, ".wav", "WAV"},
    {AudioKind::Flac, ".flac", "FLAC"}, {AudioKind::Aiff, ".aiff", "AIFF"},
    {AudioKind::Aif, ".aif", "AIF"},    {AudioKind::Aac, ".aac", "AAC"},
    {AudioKind::M4a, ".m4a", "M4A"},
};

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
    for (const KindRow& row : kKinds) {
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
    for (const KindRow& row : kKinds) {
        if (row.kind == kind) {
            return QLatin1String(row.extension);
        }
    }
    return QString();
}

QString KindLabel(AudioKind kind)
{
    for (const KindRow& row : kKinds) {
        if (row.kind == kind) {
            return QLatin1String(row.label);
        }
    }
    return QString();
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
    for (const KindRow& row : kKinds) {
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
                         const QString& cdFolder, const QString& documentsFolder, PathStyle style)
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
    QString result = documentsFolder.left(documentsFolder.size() - 1) + sep +
                     QStringLiteral("Quorvane") + sep + frequencyFolder + piece;
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
