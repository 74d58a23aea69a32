#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/PathStyle.h"

#include <gtest/gtest.h>

using namespace qvr;

struct BackslashCase {
    PathStyle style;
    const char* path;
    const char* expected;
};

TEST(IncludeBackslash, FollowsTheRulesOfEachPathStyle)
{
    const BackslashCase cases[] = {
        {PathStyle::Windows, "", ""},
        {PathStyle::Windows, "C:", "C:\\"},
        {PathStyle::Windows, "C:\\Music\\", "C:\\Music\\"},
        {PathStyle::Windows, "C:\\Music", "C:\\Music\\"},
        {PathStyle::Windows, "ab", "ab"},
        {PathStyle::Windows, "a", "a"},
        {PathStyle::Windows, "\\", "\\"},
        {PathStyle::Posix, "", ""},
        {PathStyle::Posix, "/", "/"},
        {PathStyle::Posix, "/a", "/a/"},
        {PathStyle::Posix, "/home/anna/Music", "/home/anna/Music/"},
        {PathStyle::Posix, "/home/anna/Music/", "/home/anna/Music/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IncludeBackslash(QString::fromUtf8(c.path), c.style),
                  QString::fromUtf8(c.expected))
            << c.path;
    }
}

TEST(PathStyle, SubfoldersUseTheStylesSeparator)
{
    EXPECT_EQ(subfolder("recom_GR", PathStyle::Posix), "recom_GR/");
    EXPECT_EQ(subfolder("recom_GR", PathStyle::Windows), "recom_GR\\");
}

TEST(ReplaceAll, ScansLeftToRightWithoutOverlap)
{
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("Song.MP3.mp3", ".mp3", "-432 Hz.mp3", Qt::CaseInsensitive),
              "Song-432 Hz.mp3-432 Hz.mp3");
    EXPECT_EQ(ReplaceAll("Song.MP3", ".mp3", "x"), "Song.MP3");
}

TEST(WholeSecondsBetween, CountsPositiveWholeSeconds)
{
    EXPECT_EQ(WholeSecondsBetween(Milliseconds(0), Milliseconds(1999)), 1);
    EXPECT_EQ(WholeSecondsBetween(Milliseconds(5000), Milliseconds(1000)), 4);
    EXPECT_EQ(WholeSecondsBetween(Milliseconds(7), Milliseconds(7)), 0);
}

TEST(CommandLine, RendersPathsQuotedAndKeepsTheListRaw)
{
    CommandLine line;
    line.option("-b").option("192").path("/w/output.wav").path("/m/My \"Song\".mp3");
    EXPECT_EQ(line.text(), "-b 192 \"/w/output.wav\" \"/m/My \"Song\".mp3\"");
    EXPECT_EQ(line.arguments(), QStringList({"-b", "192", "/w/output.wav", "/m/My \"Song\".mp3"}));
}

TEST(CommandLine, SplitsLikeTheWindowsShell)
{
    EXPECT_EQ(SplitCommandLine("soundstretch.exe input.wav output.wav -rate=-1.8"),
              QStringList({"soundstretch.exe", "input.wav", "output.wav", "-rate=-1.8"}));
    EXPECT_EQ(SplitCommandLine("\"my tool\"  \"a b\" \"\" c"),
              QStringList({"my tool", "a b", "", "c"}));
}
