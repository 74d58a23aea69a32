#include "cdrip/FileNames.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(ChangeFileExt, ReplacesOnlyTheExtensionOfTheFileNamePart)
{
    const struct {
        const char* name;
        const char* extension;
        PathStyle style;
        const char* expected;
    } cases[] = {
        {"/m/Song.wav", ".mp3", PathStyle::Posix, "/m/Song.mp3"},
        {"/m/Song.wav", "jitt", PathStyle::Posix, "/m/Songjitt"},
        {"/m/Song.mp3", "jitt", PathStyle::Posix, "/m/Songjitt"},
        {"/m/Song", ".mp3", PathStyle::Posix, "/m/Song.mp3"},
        {"/m.d/Song", ".mp3", PathStyle::Posix, "/m.d/Song.mp3"},
        {"/m/a.b.wav", ".mp3", PathStyle::Posix, "/m/a.b.mp3"},
        {"/m/.wav", ".mp3", PathStyle::Posix, "/m/.mp3"},
        {"C:\\Music\\Song.wav", ".mp3", PathStyle::Windows, "C:\\Music\\Song.mp3"},
        {"C:\\Mu.sic\\Song", ".mp3", PathStyle::Windows, "C:\\Mu.sic\\Song.mp3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ChangeFileExt(QString::fromLatin1(c.name), QString::fromLatin1(c.extension), c.style),
            QString::fromLatin1(c.expected))
            << c.name;
    }
}
