// Which device manager events count as a disc put into or taken out of a CD drive.

#include "platform/MediaNotices.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(MediaNotices, OnlyMediaChangesOfCdDrivesCount)
{
    using P = QMap<QString, QString>;
    const P cdrom{{"ID_CDROM", "1"}, {"DISK_MEDIA_CHANGE", "1"}};
    P withDisc = cdrom;
    withDisc.insert("ID_CDROM_MEDIA", "1");
    const struct {
        const char* what;
        BlockDeviceEvent event;
        MediaNotice notice;
    } cases[] = {
        {"disc put in", {"change", "sr0", withDisc}, MediaNotice::Arrival},
        {"disc taken out", {"change", "sr0", cdrom}, MediaNotice::Removal},
        {"drive without the manager's properties",
         {"change", "sr1", {{"DISK_MEDIA_CHANGE", "1"}}},
         MediaNotice::Removal},
        {"eject button",
         {"change", "sr0", {{"ID_CDROM", "1"}, {"DISK_EJECT_REQUEST", "1"}}},
         MediaNotice::None},
        {"other change of the drive", {"change", "sr0", {{"ID_CDROM", "1"}}}, MediaNotice::None},
        {"drive plugged in", {"add", "sr0", withDisc}, MediaNotice::None},
        {"drive unplugged", {"remove", "sr0", cdrom}, MediaNotice::None},
        {"card reader medium", {"change", "sdb", {{"DISK_MEDIA_CHANGE", "1"}}}, MediaNotice::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyBlockDeviceEvent(c.event), c.notice) << c.what;
    }
}

TEST(MediaNotices, StartsWithOrWithoutADeviceManager)
{
    MediaNotices notices;
    SUCCEED() << (notices.listening() ? "listening" : "no device manager");
}
