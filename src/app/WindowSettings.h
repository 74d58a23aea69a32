#pragma once

#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace qvr {

// What the window remembers for the next start: its size and place, the folder last opened,
// the frequency last chosen and the folder the copies go to. Kept in the user's settings place
// ("Dornevik/Quorvane.conf" in the configuration folder); Program.ini keeps only what it always
// kept. Every change is written at once, so a crash loses nothing.
class WindowSettings {
  public:
    WindowSettings();
    ~WindowSettings();
    WindowSettings(const WindowSettings&) = delete;
    WindowSettings& operator=(const WindowSettings&) = delete;

    // The file the settings are kept in.
    static QString filePath();

    // The window's place (its frame's top left corner) and size; nothing before the first close.
    std::optional<QRect> placement() const;
    void setPlacement(const QRect& placement);
    // The folder Open Folder and Open File start in; empty before the first.
    QString lastFolder() const;
    void setLastFolder(const QString& folder);
    // The chooser's index of the last frequency, -1 before the first.
    int frequencyIndex() const;
    void setFrequencyIndex(int index);
    // Where the copies go; empty: the program's default.
    QString outputFolder() const;
    void setOutputFolder(const QString& folder);

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace qvr
