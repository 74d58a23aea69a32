#include "DVK_SystemInfo.h"

#include "FileSystem.h"
#include "UiLanguage.h"

#include <QDir>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

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

// A folder named in ~/.config/user-dirs.dirs, such as XDG_TEMPLATES_DIR="$HOME/Templates".
QString userDir(const QString& key)
{
    const QString config = xdgDir("XDG_CONFIG_HOME", home() + QStringLiteral("/.config"));
    for (const QString& line :
         ReadTextLines(config + QStringLiteral("/user-dirs.dirs")).value_or(QStringList())) {
        if (!line.startsWith(key + u'=')) {
            continue;
        }
        QString value = line.mid(key.size() + 1).remove(u'"');
        value.replace(QStringLiteral("$HOME"), home());
        return withoutTrailingSlash(value);
    }
    return QString();
}

QString logonUserName()
{
    if (const passwd* entry = ::getpwuid(::getuid())) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return environment("USER");
}

QString systemLocale()
{
    const QString all = environment("LC_ALL");
    return all.isEmpty() ? environment("LANG") : all;
}

}  // namespace

TWindowsInfo::TWindowsInfo()
{
    DesktopDir = location(QStandardPaths::DesktopLocation);
    FontsDir = location(QStandardPaths::FontsLocation);
    PersonalDir = location(QStandardPaths::DocumentsLocation);
    ProgramFilesSpecialDir = QStringLiteral("/usr");
    StartMenuDir = location(QStandardPaths::ApplicationsLocation);
    StartupDir = xdgDir("XDG_CONFIG_HOME", home() + QStringLiteral("/.config")) +
                 QStringLiteral("/autostart");
    TemplatesDir = userDir(QStringLiteral("XDG_TEMPLATES_DIR"));
    InternetCacheDir = location(QStandardPaths::GenericCacheLocation);
    LogonUserName = logonUserName();
    SystemRoot = QStringLiteral("/");
    ProgramFilesDir = QStringLiteral("/usr");
    CommonFilesDir = QStringLiteral("/usr/share");
    MediaPath = QStringLiteral("/usr/share/sounds");
    TempPath = QDir::tempPath();
    AppDataDir = xdgDir("XDG_DATA_HOME", home() + QStringLiteral("/.local/share"));
    CommonAppDataDir = QStringLiteral("/usr/share");
    IsGermanSystem = WindowsLanguageId(systemLocale()) == 0x0407;
}

}  // namespace qvr
