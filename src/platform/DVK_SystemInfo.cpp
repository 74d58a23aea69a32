#include "DVK_SystemInfo.h"

#include "UiLanguage.h"

#include <QDir>
#include <QStandardPaths>

namespace qvr {
namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

QString environment(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

QString home()
{
    return withoutTrailingSlash(QDir::homePath());
}

QString xdgDir(const char* variable, const QString& fallback)
{
    const QString value = environment(variable);
    return withoutTrailingSlash(value.startsWith(u'/') ? value : fallback);
}

QString location(QStandardPaths::StandardLocation which)
{
    return withoutTrailingSlash(QStandardPaths::writableLocation(which));
}

QString systemLocale()
{
    const QString all = environment("LC_ALL");
    return all.isEmpty() ? environment("LANG") : all;
}

}  // namespace

TWindowsInfo::TWindowsInfo()
{
    PersonalDir = location(QStandardPaths::DocumentsLocation);
    AppDataDir = xdgDir("XDG_DATA_HOME", home() + QStringLiteral("/.local/share"));
    IsGermanSystem = WindowsLanguageId(systemLocale()) == 0x0407;
}

}  // namespace qvr
