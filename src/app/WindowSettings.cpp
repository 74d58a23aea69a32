#include "WindowSettings.h"

#include <QSettings>
#include <QStandardPaths>

namespace qvr {
namespace {

const QString kPositionKey = QStringLiteral("Window/Position");
const QString kSizeKey = QStringLiteral("Window/Size");
const QString kLastFolderKey = QStringLiteral("Window/LastFolder");
const QString kFrequencyKey = QStringLiteral("Window/Frequency");
const QString kOutputFolderKey = QStringLiteral("Window/OutputFolder");

}  // namespace

// The place QSettings would choose for organisation "Dornevik" and application "Quorvane",
// taken anew each time: Qt settles its own default once a process, so a changed configuration
// folder (a test's home) would not be followed.
QString WindowSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Dornevik/Quorvane.conf");
}

WindowSettings::WindowSettings()
    : settings_(std::make_unique<QSettings>(filePath(), QSettings::IniFormat))
{
}

WindowSettings::~WindowSettings() = default;

std::optional<QRect> WindowSettings::placement() const
{
    const QPoint position = settings_->value(kPositionKey).toPoint();
    const QSize size = settings_->value(kSizeKey).toSize();
    if (!settings_->contains(kPositionKey) || !size.isValid() || size.isEmpty()) {
        return std::nullopt;
    }
    return QRect(position, size);
}

void WindowSettings::setPlacement(const QRect& placement)
{
    settings_->setValue(kPositionKey, placement.topLeft());
    settings_->setValue(kSizeKey, placement.size());
    settings_->sync();
}

QString WindowSettings::lastFolder() const
{
    return settings_->value(kLastFolderKey).toString();
}

void WindowSettings::setLastFolder(const QString& folder)
{
    settings_->setValue(kLastFolderKey, folder);
    settings_->sync();
}

int WindowSettings::frequencyIndex() const
{
    bool number = false;
    const int index = settings_->value(kFrequencyKey).toInt(&number);
    return number && index >= 0 && index <= 9 ? index : -1;
}

void WindowSettings::setFrequencyIndex(int index)
{
    settings_->setValue(kFrequencyKey, index);
    settings_->sync();
}

QString WindowSettings::outputFolder() const
{
    return settings_->value(kOutputFolderKey).toString();
}

void WindowSettings::setOutputFolder(const QString& folder)
{
    settings_->setValue(kOutputFolderKey, folder);
    settings_->sync();
}

}  // namespace qvr
