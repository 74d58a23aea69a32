// Which device manager events count as a disc put into or taken out of a CD drive, and as a
// CD drive plugged in or unplugged.

#include "platform/MediaNotices.h"

#include <gtest/gtest.h>

#include <libudev.h>

using namespace qvr;

TEST(MediaNotices, DiscsAndDrivesOfCdDrivesCount)
{
    using P = QMap<QString, QString>;
    const P cdrom{{"ID_CDROM", "1"}, {"DISK_MEDIA_CHANGE", "1"}};
    P withDisc = cdrom;
    withDisc.insert("ID_CDROM_MEDIA", "1");
    const P usbStick{{"ID_BUS", "usb"}, {"DEVTYPE", "disk"}};
    const struct {
        const char* what;
        BlockDeviceEvent event;
        MediaNotice disc;
        DriveNotice drive;
    } cases[] = {
        {"disc put in", {"change", "sr0", withDisc}, MediaNotice::Arrival, DriveNotice::None},
        {"disc taken out", {"change", "sr0", cdrom}, MediaNotice::Removal, DriveNotice::None},
        {"drive without the manager's properties",
         {"change", "sr1", {{"DISK_MEDIA_CHANGE", "1"}}},
         MediaNotice::Removal,
         DriveNotice::None},
        {"eject button",
         {"change", "sr0", {{"ID_CDROM", "1"}, {"DISK_EJECT_REQUEST", "1"}}},
         MediaNotice::None,
         DriveNotice::None},
        {"other change of the drive",
         {"change", "sr0", {{"ID_CDROM", "1"}}},
         MediaNotice::None,
         DriveNotice::None},
        {"drive plugged in with a disc",
         {"add", "sr0", withDisc},
         MediaNotice::None,
         DriveNotice::Added},
        {"drive plugged in",
         {"add", "sr1", {{"ID_CDROM", "1"}}},
         MediaNotice::None,
         DriveNotice::Added},
        {"drive by its kernel name only",
         {"add", "sr2", {}},
         MediaNotice::None,
         DriveNotice::Added},
        {"drive unplugged", {"remove", "sr0", cdrom}, MediaNotice::None, DriveNotice::Removed},
        {"drive reported under another name",
         {"remove", "cdrom0", {{"ID_CDROM", "1"}}},
         MediaNotice::None,
         DriveNotice::Removed},
        {"drive bound to its driver", {"bind", "sr0", cdrom}, MediaNotice::None, DriveNotice::None},
        {"USB stick plugged in", {"add", "sdb", usbStick}, MediaNotice::None, DriveNotice::None},
        {"USB stick unplugged", {"remove", "sdb", usbStick}, MediaNotice::None, DriveNotice::None},
        {"drive that is no CD drive",
         {"add", "sdc", {{"ID_CDROM", "0"}}},
         MediaNotice::None,
         DriveNotice::None},
        {"card reader medium",
         {"change", "sdb", {{"DISK_MEDIA_CHANGE", "1"}}},
         MediaNotice::None,
         DriveNotice::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyBlockDeviceEvent(c.event), c.disc) << c.what;
        EXPECT_EQ(ClassifyDriveEvent(c.event), c.drive) << c.what;
    }
}

// The monitor listens exactly when the device manager's event socket can be had: a machine
// without one (a container) must leave it silent, not broken.
TEST(MediaNotices, ListensWhenTheDeviceManagerCanBeReached)
{
    udev* context = udev_new();
    udev_monitor* probe =
        context != nullptr ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    const bool reachable = probe != nullptr && udev_monitor_enable_receiving(probe) >= 0;
    if (probe != nullptr) {
        udev_monitor_unref(probe);
    }
    if (context != nullptr) {
        udev_unref(context);
    }
    MediaNotices notices;
    EXPECT_EQ(notices.listening(), reachable);
}
