#include "FileNames.h"

#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

namespace qvr {
namespace {

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

QString CdInputFolderIn(const QString& documentsFolder)
{
    return documentsFolder + QStringLiteral("Quorvane/CD-ROM-Input/");
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

}  // namespace qvr
