#include "FileNames.h"

#include "platform/Text.h"

#include <string_view>

#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

namespace qvr {
namespace {

// Pass 1: what may not stand in a folder name (or reads badly in one) becomes "-"; accented
// vowels, c cedilla and n tilde lose their marks (umlauts except u are left for pass 2).
QChar replacedInPass1(QChar c)
{
    static constexpr std::u16string_view kToDash = u" '&*:()\\/><.-!$%=\"\u00A7?,\u00B4`\u20AC";
    if (kToDash.find(c.unicode()) != std::u16string_view::npos) {
        return u'-';
    }
    struct Group {
        std::u16string_view from;
        char16_t to;
    };
    static constexpr Group kGroups[] = {{u"\u00E1\u00E0\u00E2", u'a'},
                                        {u"\u00E9\u00E8\u00EA\u00EB", u'e'},
                                        {u"\u00ED\u00EC\u00EE\u00EF", u'i'},
                                        {u"\u00F3\u00F2\u00F4", u'o'},
                                        {u"\u00FA\u00F9\u00FB\u00FC", u'u'},
                                        {u"\u00E7", u'c'},
                                        {u"\u00F1", u'n'},
                                        {u"\u00C1\u00C0\u00C2", u'A'},
                                        {u"\u00C9\u00C8\u00CA\u00CB", u'E'},
                                        {u"\u00CD\u00CC\u00CE\u00CF", u'I'},
                                        {u"\u00D3\u00D2\u00D4", u'O'},
                                        {u"\u00DA\u00D9\u00DB\u00DC", u'U'},
                                        {u"\u00C7", u'C'},
                                        {u"\u00D1", u'N'}};
    for (const Group& g : kGroups) {
        if (g.from.find(c.unicode()) != std::u16string_view::npos) {
            return QChar(g.to);
        }
    }
    return c;
}

// Pass 2: the remaining umlauts and the sharp s spelt out.
QString spelledInPass2(QChar c)
{
    switch (c.unicode()) {
        case 0x00E4: return QStringLiteral("ae");
        case 0x00C4: return QStringLiteral("Ae");
        case 0x00F6: return QStringLiteral("oe");
        case 0x00D6: return QStringLiteral("Oe");
        case 0x00DF: return QStringLiteral("ss");
        default: return QString(c);
    }
}

// Hidden, so that it is neither listed nor converted with the ripped tracks.
const QString kCdNameFile = QStringLiteral(".cd-name");

// The longest file name the usual Linux file systems take, in bytes.
constexpr qsizetype kMaxNameBytes = 255;

QString comparable(const QString& typedName)
{
    return typedName.normalized(QString::NormalizationForm_C);
}

std::optional<QString> cdNameOf(const QString& folder)
{
    const std::optional<QByteArray> bytes = ReadFileBytes(IncludeBackslash(folder) + kCdNameFile);
    if (!bytes) {
        return std::nullopt;
    }
    return QString::fromUtf8(*bytes);
}

// Cut at the end of whole characters (a letter keeps its accents) until the suffix fits too.
QString fittedName(const QString& name, const QString& suffix)
{
    QString fitted = name;
    const qsizetype suffixBytes = suffix.toUtf8().size();
    while (!fitted.isEmpty() && fitted.toUtf8().size() + suffixBytes > kMaxNameBytes) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, fitted);
        graphemes.toEnd();
        fitted.truncate(std::max<qsizetype>(0, graphemes.toPreviousBoundary()));
    }
    return fitted + suffix;
}

bool belongsElsewhere(const QString& folder, const QString& typedName)
{
    if (!DirectoryExists(folder)) {
        return false;
    }
    const std::optional<QString> owner = cdNameOf(folder);
    return owner && *owner != comparable(typedName);
}

}  // namespace

QString ChangeFileExt(const QString& name, const QString& extension, PathStyle style)
{
    qsizetype start = name.lastIndexOf(u'/') + 1;
    if (style == PathStyle::Windows) {
        start = std::max({start, name.lastIndexOf(u'\\') + 1, name.lastIndexOf(u':') + 1});
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype end = dot >= start ? dot : name.size();
    return name.left(end) + extension;
}

QString CdFolderName(const QString& cdInputFolder, const QString& cleanedName,
                     const QString& typedName)
{
    QString name = fittedName(cleanedName, QString());
    for (int n = 2; belongsElsewhere(cdInputFolder + name, typedName); ++n) {
        name = fittedName(cleanedName, QStringLiteral(" (%1)").arg(n));
    }
    return name;
}

bool MarkCdFolder(const QString& cdFolder, const QString& typedName)
{
    return WriteFileBytes(IncludeBackslash(cdFolder) + kCdNameFile, comparable(typedName).toUtf8());
}

// Folder names on this system are UTF-8: every script keeps its letters, so that two albums
// whose names differ only outside Latin letters do not share a folder. The composed form makes
// an "e" followed by a combining accent lose its mark like a precomposed "é".
QString CleanedCdName(const QString& text)
{
    QString result;
    const QString composed = text.normalized(QString::NormalizationForm_C);
    result.reserve(composed.size());
    for (const QChar c : composed) {
        // The name becomes a folder: control characters have no place in it.
        if (!IsControlCharacter(c)) {
            result += spelledInPass2(replacedInPass1(c));
        }
    }
    return result;
}

}  // namespace qvr
