#include "convert/Estimate.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(Estimate, WorkedExamples)
{
    // A 5 340 000-byte MP3 at speed 40.
    const int raw = RawEstimateSeconds(5'340'000, AudioKind::Mp3, 40);
    EXPECT_EQ(raw, 80);
    EXPECT_EQ(ProgressScaleFrom(raw), 8);
    EXPECT_EQ(EstimateSecondsFrom(raw), 600);
}

TEST(Estimate, MegabytesRoundHalvesToEven)
{
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {0, 0},         {499'999, 0},   {500'000, 0},   {500'001, 1},         {1'500'000, 2},
        {2'500'000, 2}, {3'500'000, 4}, {5'340'000, 5}, {6'000'000'000, 6000}};
    for (const auto& [bytes, megabytes] : cases) {
        EXPECT_EQ(RoundedMegabytes(bytes), megabytes) << bytes;
    }
}

TEST(Estimate, FactorsPerKindAndSpeed)
{
    struct Case {
        std::int64_t bytes;
        AudioKind kind;
        int speed;
        int raw;
    };
    const Case cases[] = {
        {100'000'000, AudioKind::Mp3, 20, 3200}, {100'000'000, AudioKind::Mp3, 10, 6400},
        {100'000'000, AudioKind::Aac, 20, 2750}, {430'000'000, AudioKind::Aiff, 20, 400},
        {430'000'000, AudioKind::Aif, 20, 400},  {100'000'000, AudioKind::Flac, 20, 240},
        {280'000'000, AudioKind::M4a, 20, 500},  {430'000'000, AudioKind::Wav, 20, 200},
        {100'000, AudioKind::Mp3, 20, 0},        {100'000'000, AudioKind::None, 20, 0},
        {2'500'000, AudioKind::Wav, 20, 1},      {3'500'000, AudioKind::Wav, 20, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawEstimateSeconds(c.bytes, c.kind, c.speed), c.raw) << c.bytes;
    }
    // A small file still gets ten minutes and the slowest bar.
    EXPECT_EQ(EstimateSecondsFrom(RawEstimateSeconds(400'000, AudioKind::Mp3, 20)), 600);
    EXPECT_EQ(ProgressScaleFrom(RawEstimateSeconds(400'000, AudioKind::Mp3, 20)), 1);
}

TEST(ProgressValue, FollowsTheTimerFormula)
{
    const int scale16[] = {0, 2, 4, 6, 8, 9, 11};
    for (int ticks = 0; ticks < 7; ++ticks) {
        EXPECT_EQ(ProgressValue(ticks, 50, 16), scale16[ticks]) << ticks;
    }
    EXPECT_EQ(ProgressValue(50, 50, 16), 94);
    EXPECT_EQ(ProgressValue(51, 50, 16), 96);  // the 52nd tick: above 95, the timer stops
    const int scale1[] = {0, 30, 60, 90, 120};
    for (int ticks = 0; ticks < 5; ++ticks) {
        EXPECT_EQ(ProgressValue(ticks, 50, 1), scale1[ticks]);
    }
    EXPECT_EQ(ProgressValue(3, 50, 0), 90);
}
