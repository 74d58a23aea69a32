#include "platform/NativePath.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(NativePath, EveryByteStringSurvivesTheRoundTrip)
{
    const std::string cases[] = {
        "plain.mp3",
        "Überall – Café.flac",
        std::string("latin1 \xE9t\xE9.wav"),
        std::string("lone \x80 continuation"),
        std::string("truncated \xE2\x82"),
        std::string("overlong \xC0\xAF"),
        std::string("encoded surrogate \xED\xA0\x80"),
        "emoji \xF0\x9F\x8E\xB5",
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(toNativeBytes(fromNativeBytes(bytes)), bytes) << bytes;
    }
}

TEST(NativePath, ValidUtf8BecomesOrdinaryText)
{
    EXPECT_EQ(fromNativeBytes(std::string("Stra\xC3\x9F"
                                          "e")),
              QString::fromUtf8("Straße"));
    EXPECT_EQ(toNativeBytes(QString::fromUtf8("Straße")),
              "Stra\xC3\x9F"
              "e");
}
