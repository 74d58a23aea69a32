#include "TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qvr::test {

TempHome::TempHome()
{
    QDir(path()).mkpath(QStringLiteral("Documents"));
    QDir(path()).mkpath(QStringLiteral(".local/share"));
    QDir(path()).mkpath(QStringLiteral(".config"));
    QDir(path()).mkpath(QStringLiteral("run"));
    setEnv("HOME", path().toLocal8Bit());
    setEnv("XDG_DATA_HOME", dataHome().toLocal8Bit());
    setEnv("XDG_CONFIG_HOME", (path() + QStringLiteral("/.config")).toLocal8Bit());
    setEnv("XDG_RUNTIME_DIR", (path() + QStringLiteral("/run")).toLocal8Bit());
    // A desktop in no language of the program's: the run is in English unless a test says else.
    setEnv("LC_ALL", "");
    setEnv("LC_MESSAGES", "");
    setEnv("LANG", "C.UTF-8");
}

TempHome::~TempHome()
{
    for (const auto& [name, value] : saved_) {
        if (value.first) {
            qputenv(name.constData(), value.second);
        } else {
            qunsetenv(name.constData());
        }
    }
}

void TempHome::setEnv(const char* name, const QByteArray& value)
{
    if (saved_.find(name) == saved_.end()) {
        saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    }
    qputenv(name, value);
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(content);
    }
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString RealToolPath(const char* tool)
{
    return QFile::symLinkTarget(QStringLiteral(QUORVANE_PROGRAM_DIR "/") + QLatin1String(tool));
}

void installRealTools(const QString& workFolder)
{
    for (const char* tool : {"lame.exe", "ffmpeg.exe", "soundstretch.exe"}) {
        QFile::remove(workFolder + QLatin1String(tool));
        QFile::link(RealToolPath(tool), workFolder + QLatin1String(tool));
    }
}

}  // namespace qvr::test
