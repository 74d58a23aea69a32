// The CUE sheet as written: FILE names of any kind, one or many files, the kinds of data, the
// texts of the disc and the tracks, and the sheets that cannot be followed.

#include "cdrip/CueSheet.h"

#include <gtest/gtest.h>

using namespace qvr;

namespace {

const QByteArray kTrack = "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";

}  // namespace

TEST(CueSheet, TheFileLineIsTakenAsWritten)
{
    const struct {
        QByteArray line;
        QString name;
        CueFileType type;
    } cases[] = {
        {"FILE \"Album (disc 1).bin\" BINARY", "Album (disc 1).bin", CueFileType::Binary},
        {"FILE Album (disc 1).bin BINARY", "Album (disc 1).bin", CueFileType::Binary},
        {"file \"MiXeD.BIN\" binary", "MiXeD.BIN", CueFileType::Binary},
        {"FILE \"Caf\xC3\xA9 \xC3\x9C"
         "ber.flac\" WAVE",
         "Caf\u00E9 \u00DCber.flac", CueFileType::Audio},
        {"FILE \"a.flac\" FLAC", "a.flac", CueFileType::Audio},
        {"FILE \"a.mp3\"\tMP3", "a.mp3", CueFileType::Audio},
        {"FILE \"a.aiff\" AIFF", "a.aiff", CueFileType::Audio},
        {"FILE \"big.bin\" MOTOROLA", "big.bin", CueFileType::Motorola},
        {"FILE \"/discs/abs.bin\" BINARY", "/discs/abs.bin", CueFileType::Binary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const std::optional<CueSheet> sheet = ParseCueSheet(c.line + "\r\n" + kTrack);
        ASSERT_TRUE(sheet);
        ASSERT_EQ(sheet->files.size(), 1u);
        EXPECT_EQ(sheet->files[0].name, c.name);
        EXPECT_EQ(sheet->files[0].type, c.type);
    }
    // A sheet written in Latin-1 names its file in Latin-1.
    const std::optional<CueSheet> latin1 = ParseCueSheet("FILE \"Caf\xE9.wav\" WAVE\n" + kTrack);
    ASSERT_TRUE(latin1);
    EXPECT_EQ(latin1->files[0].name, QStringLiteral("Caf\u00E9.wav"));
}

// One file per track, INDEX 00 pauses and the texts of the disc and of each track.
TEST(CueSheet, TracksStartAtIndexOneInTheirOwnFile)
{
    const std::optional<CueSheet> sheet = ParseCueSheet(
        "\xEF\xBB\xBFREM GENRE Rock\nTITLE \"The Album\"\nPERFORMER \"The Band\"\n"
        "CATALOG 0000000000000\n"
        "FILE \"01 First.wav\" WAVE\n"
        "  TRACK 01 AUDIO\n    TITLE \"First\"\n    PERFORMER \"Solo\"\n    INDEX 01 00:00:00\n"
        "FILE \"02 Second.wav\" WAVE\n"
        "  TRACK 02 AUDIO\n    TITLE \"Second\"\n    ISRC ABCDE1234567\n"
        "    INDEX 00 00:00:00\n    INDEX 01 00:02:10\n"
        "  TRACK 03 MODE1/2352\n    FLAGS DCP\n    INDEX 01 01:00:00\n");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title, QStringLiteral("The Album"));
    EXPECT_EQ(sheet->performer, QStringLiteral("The Band"));
    ASSERT_EQ(sheet->files.size(), 2u);
    const struct {
        int number;
        std::size_t file;
        bool audio;
        std::int32_t start;
        const char* title;
        const char* performer;
    } expected[] = {{1, 0, true, 0, "First", "Solo"},
                    {2, 1, true, 2 * 75 + 10, "Second", ""},
                    {3, 1, false, 60 * 75, "", ""}};
    ASSERT_EQ(sheet->tracks.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const CueTrack& track = sheet->tracks[i];
        EXPECT_EQ(track.number, expected[i].number) << i;
        EXPECT_EQ(track.file, expected[i].file) << i;
        EXPECT_EQ(track.audio, expected[i].audio) << i;
        EXPECT_EQ(track.start, expected[i].start) << i;
        EXPECT_EQ(track.title, QString::fromUtf8(expected[i].title)) << i;
        EXPECT_EQ(track.performer, QString::fromUtf8(expected[i].performer)) << i;
    }
}

TEST(CueSheet, SheetsThatCannotBeFollowedAreRefused)
{
    const QByteArray file = "FILE \"a.bin\" BINARY\n";
    const struct {
        const char* what;
        QByteArray sheet;
    } cases[] = {
        {"empty", ""},
        {"no track", file},
        {"a track before any file", kTrack + file},
        {"a track without INDEX 01", file + "  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n"},
        {"an unknown command", file + kTrack + "  FROBNICATE 1\n"},
        {"an unknown file type", "FILE \"a.ogg\" OGG\n" + kTrack},
        {"a file without a type", "FILE \"a.bin\"\n" + kTrack},
        {"an unknown track mode", file + "  TRACK 01 MODE9/1\n    INDEX 01 00:00:00\n"},
        {"seconds past 59", file + "  TRACK 01 AUDIO\n    INDEX 01 00:60:00\n"},
        {"frame 75", file + "  TRACK 01 AUDIO\n    INDEX 01 00:00:75\n"},
        {"index 100", file + "  TRACK 01 AUDIO\n    INDEX 100 00:00:00\n"},
        {"track 100", file + "  TRACK 100 AUDIO\n    INDEX 01 00:00:00\n"},
        {"tracks out of order", file + kTrack + "  TRACK 01 AUDIO\n    INDEX 01 00:01:00\n"},
        {"a track starting before the one before",
         file +
             "  TRACK 01 AUDIO\n    INDEX 01 00:02:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"},
        {"two INDEX 01", file + kTrack + "    INDEX 01 00:01:00\n"},
        {"an open quote", "TITLE \"Never closed\n" + file + kTrack},
        {"a long line", "REM " + QByteArray(5000, 'x') + "\n" + file + kTrack},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParseCueSheet(c.sheet)) << c.what;
    }
}
