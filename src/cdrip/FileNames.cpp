#include "FileNames.h"

#include <algorithm>

namespace qvr {

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

}  // namespace qvr
