#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace qvr {

// What a block device event says about the disc in a CD drive.
enum class MediaNotice { None, Arrival, Removal };

// One event of the kernel's device manager, as far as media changes need it.
struct BlockDeviceEvent {
    QString action;                     // "add", "change", "remove", ...
    QString sysName;                    // "sr0", "sda1", ...
    QMap<QString, QString> properties;  // ID_CDROM, DISK_MEDIA_CHANGE, ID_CDROM_MEDIA, ...
};

// Only media changes of CD drives count: a disc put in is an arrival, a disc taken out (or a
// drive that reports no medium after a change) a removal; everything else is no notice.
MediaNotice ClassifyBlockDeviceEvent(const BlockDeviceEvent& event);

// Watches the "block" subsystem through a libudev monitor, read from the event loop, and
// reports the media changes of CD drives. Without a device manager (no netlink socket) it
// stays silent.
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

  private:
    struct Monitor;
    void readEvents();

    std::unique_ptr<Monitor> monitor_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qvr
