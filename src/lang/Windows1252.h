#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qvr {

// Windows-1252 ("ANSI") text, as stored by the translation tables and used for CD names.
// The five bytes the code page leaves undefined stand for the control characters of the same
// value, as on Windows.
QString FromWindows1252(QByteArrayView bytes);

// Characters the code page cannot hold become the replacement byte.
QByteArray ToWindows1252(const QString& text, char replacement = '?');

}  // namespace qvr
