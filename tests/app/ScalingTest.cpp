#include "app/Scaling.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(ScalePercent, GrowsWithTheScreenUpTo168)
{
    const std::pair<int, int> cases[] = {{600, 100},  {768, 100},  {899, 100},  {900, 115},
                                         {1080, 129}, {1440, 147}, {2160, 164}, {2363, 167},
                                         {2364, 168}, {2400, 168}};
    for (const auto& [height, percent] : cases) {
        EXPECT_EQ(ScalePercentFor(height), percent) << height;
    }
}

TEST(ScalePercent, ScaledSizesRound)
{
    EXPECT_EQ(Scaled(90, 129), 116);
    EXPECT_EQ(Scaled(380, 115), 437);
    EXPECT_EQ(Scaled(100, 100), 100);
}

TEST(ResolutionClass, PicksTheSizeClassOfTheScreen)
{
    struct Case {
        int height;
        const char* argument;
        const char* expected;
    };
    const Case cases[] = {{600, "", "768"},     {768, "", "768"},        {769, "", "900"},
                          {900, "", "900"},     {1050, "", "1080"},      {1080, "", "1080"},
                          {1440, "", "1440"},   {2160, "", "2160"},      {2400, "", "2160"},
                          {768, "169", "2160"}, {768, "x1690y", "2160"}, {0, "", "2160"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ResolutionClassFor(c.height, c.argument), c.expected) << c.height << c.argument;
    }
}
