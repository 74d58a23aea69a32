#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace qvr {

// What a block device event says about the disc in a CD drive.
enum class MediaNotice { None, Arrival, Removal };

// What a block device event says about a CD drive itself.
enum class DriveNotice { None, Added, Removed };

// One event of the kernel's device manager, as far as media changes need it.
struct BlockDeviceEvent {
    QString action;                     // "add", "change", "remove", ...
    QString sysName;                    // "sr0", "sda1", ...
    QMap<QString, QString> properties;  // ID_CDROM, DISK_MEDIA_CHANGE, ID_CDROM_MEDIA, ...
};

// Only media changes of CD drives count: a disc put in is an arrival, a disc taken out (or a
// drive that reports no medium after a change) a removal; everything else is no notice.
MediaNotice ClassifyBlockDeviceEvent(const BlockDeviceEvent& event);

// A CD drive plugged in is Added, one unplugged Removed; everything else is no notice.
DriveNotice ClassifyDriveEvent(const BlockDeviceEvent& event);

// A CD drive the device manager knows, whether or not this user may open it.
struct CdDriveNode {
    QString node;  // "/dev/sr0", ...
    bool readable = false;
};

// The CD drives the device manager knows now; none without a device manager.
std::vector<CdDriveNode> ListCdDrives();

// Watches the "block" subsystem through a libudev monitor, read from the event loop, and
// reports the media changes of CD drives and the drives that come and go. Without a device
// manager (no netlink socket) it stays silent.
class MediaNotices : public QObject {
    Q_OBJECT

  public:
    explicit MediaNotices(QObject* parent = nullptr);
    ~MediaNotices() override;

    // True when the monitor is receiving events.
    bool listening() const { return notifier_ != nullptr; }

  signals:
    void arrival(const QString& device);
    void removal(const QString& device);
    void driveAdded(const QString& device);
    void driveRemoved(const QString& device);

  private:
    struct Monitor;
    void readEvents();

    std::unique_ptr<Monitor> monitor_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qvr
