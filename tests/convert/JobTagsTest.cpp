#include "convert/JobTags.h"

#include <gtest/gtest.h>

using namespace qvr;

// A ripped track's tags: the performer of the track wins over the disc's; empty fields are left
// out rather than written empty.
TEST(JobTags, ARippedTrackIsTaggedFromTheDiscAndTheDialogs)
{
    using Fields = QMap<QString, QStringList>;
    struct Case {
        const char* label;
        CdAlbum album;
        CdTrackTags track;
        Fields expected;
    };
    const QString tuning = QStringLiteral("432 Hz (from 440 Hz)");
    const Case cases[] = {
        {"a disc with CD-TEXT",
         {"Blue Train", "John Coltrane", {}},
         {"/cd/Moment's Notice.wav", 2, 5, "Moment's Notice", ""},
         {{"ALBUM", {"Blue Train"}},
          {"TITLE", {"Moment's Notice"}},
          {"ARTIST", {"John Coltrane"}},
          {"ALBUMARTIST", {"John Coltrane"}},
          {"TRACKNUMBER", {"2/5"}},
          {"TUNING", {tuning}}}},
        {"a track of its own performer",
         {"Mix", "Various", {}},
         {"/cd/a.wav", 7, 12, "Song", "Кино"},
         {{"ALBUM", {"Mix"}},
          {"TITLE", {"Song"}},
          {"ARTIST", {"Кино"}},
          {"ALBUMARTIST", {"Various"}},
          {"TRACKNUMBER", {"7/12"}},
          {"TUNING", {tuning}}}},
        {"a disc without CD-TEXT",
         {"My CD", "", {}},
         {"/cd/Track01.wav", 1, 3, "Track01", ""},
         {{"ALBUM", {"My CD"}},
          {"TITLE", {"Track01"}},
          {"TRACKNUMBER", {"1/3"}},
          {"TUNING", {tuning}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(CdTrackFields(c.album, c.track, tuning), c.expected);
    }
}
