#pragma once

#include <QString>

namespace qvr {

// How paths are spelt. The naming and folder rules are written once for both styles, so they can
// be checked against Windows examples and used with Linux paths.
enum class PathStyle { Windows, Posix };

constexpr PathStyle nativePathStyle()
{
#ifdef _WIN32
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

QChar pathSeparator(PathStyle style = nativePathStyle());

// Appends the separator to a folder name. In the Windows style an empty name, a name that ends
// with a backslash and a one- or two-character name that is no drive ("C:") stay as they are.
// In the POSIX style only an empty name or one that already ends with "/" stays.
QString IncludeBackslash(const QString& path, PathStyle style = nativePathStyle());

// A subfolder name with its separator: subfolder("recom_GR") is "recom_GR/" on Linux.
QString subfolder(const QString& name, PathStyle style = nativePathStyle());

// Every occurrence of `from` in `text` replaced by `to`, scanning left to right without overlap.
QString ReplaceAll(const QString& text, const QString& from, const QString& to,
                   Qt::CaseSensitivity cs = Qt::CaseSensitive);

}  // namespace qvr
