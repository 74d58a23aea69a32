#include "platform/NamedMutex.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(NamedMutex, OnlyTheFirstHolderGetsIt)
{
    test::TempHome home;
    {
        NamedMutex first("QuorvaneTest");
        NamedMutex second("QuorvaneTest");
        EXPECT_FALSE(first.alreadyExisted());
        EXPECT_TRUE(second.alreadyExisted());
        EXPECT_TRUE(NamedMutex::lockFilePath("QuorvaneTest").startsWith(home.path() + "/run/"));
    }
    NamedMutex again("QuorvaneTest");
    EXPECT_FALSE(again.alreadyExisted());
}
