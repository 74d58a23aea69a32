#include "PathStyle.h"

namespace qvr {

QChar pathSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? u'\\' : u'/';
}

QString IncludeBackslash(const QString& path, PathStyle style)
{
    const QChar sep = pathSeparator(style);
    if (path.isEmpty() || path.endsWith(sep)) {
        return path;
    }
    if (style == PathStyle::Windows && path.size() < 3) {
        const bool drive = path.size() == 2 && path[1] == u':';
        return drive ? path + sep : path;
    }
    return path + sep;
}

QString subfolder(const QString& name, PathStyle style)
{
    return name + pathSeparator(style);
}

QString ReplaceAll(const QString& text, const QString& from, const QString& to,
                   Qt::CaseSensitivity cs)
{
    QString result = text;
    return result.replace(from, to, cs);
}

}  // namespace qvr
