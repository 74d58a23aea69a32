#include "MediaNotices.h"

#include <QSocketNotifier>

#include <optional>

#include <libudev.h>
#include <unistd.h>

namespace qvr {
namespace {

struct UdevUnref {
    void operator()(udev* u) const { udev_unref(u); }
};
struct MonitorUnref {
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
struct DeviceUnref {
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
struct EnumerateUnref {
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};
using UdevHandle = std::unique_ptr<udev, UdevUnref>;
using MonitorHandle = std::unique_ptr<udev_monitor, MonitorUnref>;
using DeviceHandle = std::unique_ptr<udev_device, DeviceUnref>;
using EnumerateHandle = std::unique_ptr<udev_enumerate, EnumerateUnref>;

QString text(const char* value)
{
    return value != nullptr ? QString::fromUtf8(value) : QString();
}

BlockDeviceEvent eventOf(udev_device* device)
{
    BlockDeviceEvent event;
    event.action = text(udev_device_get_action(device));
    event.sysName = text(udev_device_get_sysname(device));
    for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        event.properties.insert(text(udev_list_entry_get_name(entry)),
                                text(udev_list_entry_get_value(entry)));
    }
    return event;
}

bool isCdDrive(const BlockDeviceEvent& event)
{
    return event.properties.value(QStringLiteral("ID_CDROM")) == QLatin1String("1") ||
           event.sysName.startsWith(QLatin1String("sr"));
}

// The drive's device as libcdio opens it: for reading. Asked without opening, so that no drive
// spins up or closes its tray.
bool readable(const char* node)
{
    return ::access(node, R_OK) == 0;
}

std::optional<CdDriveNode> driveAt(udev* context, const char* sysPath)
{
    const DeviceHandle device{udev_device_new_from_syspath(context, sysPath)};
    const char* node = device ? udev_device_get_devnode(device.get()) : nullptr;
    if (node == nullptr) {
        return std::nullopt;
    }
    return CdDriveNode{QString::fromUtf8(node), readable(node)};
}

}  // namespace

MediaNotice ClassifyBlockDeviceEvent(const BlockDeviceEvent& event)
{
    if (event.action != QLatin1String("change") || !isCdDrive(event) ||
        event.properties.value(QStringLiteral("DISK_MEDIA_CHANGE")) != QLatin1String("1")) {
        return MediaNotice::None;
    }
    return event.properties.value(QStringLiteral("ID_CDROM_MEDIA")) == QLatin1String("1")
               ? MediaNotice::Arrival
               : MediaNotice::Removal;
}

DriveNotice ClassifyDriveEvent(const BlockDeviceEvent& event)
{
    if (!isCdDrive(event)) {
        return DriveNotice::None;
    }
    if (event.action == QLatin1String("add")) {
        return DriveNotice::Added;
    }
    return event.action == QLatin1String("remove") ? DriveNotice::Removed : DriveNotice::None;
}

std::vector<CdDriveNode> ListCdDrives()
{
    std::vector<CdDriveNode> drives;
    const UdevHandle context{udev_new()};
    const EnumerateHandle enumerate{context ? udev_enumerate_new(context.get()) : nullptr};
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "block") < 0 ||
        udev_enumerate_add_match_property(enumerate.get(), "ID_CDROM", "1") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        return drives;
    }
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate.get()); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        if (auto drive = driveAt(context.get(), udev_list_entry_get_name(entry))) {
            drives.push_back(*drive);
        }
    }
    return drives;
}

struct MediaNotices::Monitor {
    UdevHandle udev;
    MonitorHandle monitor;
};

MediaNotices::MediaNotices(QObject* parent) : QObject(parent)
{
    auto monitor = std::make_unique<Monitor>();
    monitor->udev.reset(udev_new());
    if (!monitor->udev) {
        return;
    }
    // The device manager's events carry the drive's properties (ID_CDROM_MEDIA); the kernel's
    // own do not.
    monitor->monitor.reset(udev_monitor_new_from_netlink(monitor->udev.get(), "udev"));
    if (!monitor->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor->monitor.get(), "block", nullptr) <
            0 ||
        udev_monitor_enable_receiving(monitor->monitor.get()) < 0) {
        return;
    }
    const int fd = udev_monitor_get_fd(monitor->monitor.get());
    if (fd < 0) {
        return;
    }
    monitor_ = std::move(monitor);
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &MediaNotices::readEvents);
}

MediaNotices::~MediaNotices() = default;

void MediaNotices::readEvents()
{
    // The socket is non-blocking: every queued event is taken, then the call answers nothing.
    while (DeviceHandle device{udev_monitor_receive_device(monitor_->monitor.get())}) {
        const BlockDeviceEvent event = eventOf(device.get());
        const QString node = text(udev_device_get_devnode(device.get()));
        switch (ClassifyBlockDeviceEvent(event)) {
            case MediaNotice::Arrival: emit arrival(node); break;
            case MediaNotice::Removal: emit removal(node); break;
            case MediaNotice::None: break;
        }
        switch (ClassifyDriveEvent(event)) {
            case DriveNotice::Added: emit driveAdded(node); break;
            case DriveNotice::Removed: emit driveRemoved(node); break;
            case DriveNotice::None: break;
        }
    }
}

}  // namespace qvr
