#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace qvr::test {

// A fresh home for one test: HOME, the XDG folders and the runtime folder point into a
// temporary folder, the desktop's locale is "C.UTF-8", and the system information is gathered
// anew. Everything is put back after.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return dir_.path(); }
    QString documents() const { return path() + QStringLiteral("/Documents/"); }
    QString dataHome() const { return path() + QStringLiteral("/.local/share/"); }
    QString workFolder() const { return dataHome() + QStringLiteral("Dornevik/Quorvane/"); }
    QString outputFolder() const { return documents() + QStringLiteral("Quorvane/"); }

    void setEnv(const char* name, const QByteArray& value);

  private:
    QTemporaryDir dir_;
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;
};

// Writes a text file, creating its folder.
void writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);

// The system's tool that the build folder links under a tool's name ("lame.exe", ...).
QString RealToolPath(const char* tool);
// Links the three real tools into a work folder, in place of whatever stands there.
void installRealTools(const QString& workFolder);

}  // namespace qvr::test
