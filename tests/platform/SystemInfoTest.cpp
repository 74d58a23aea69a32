#include "platform/DVK_SystemInfo.h"
#include "platform/UiLanguage.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(WindowsLanguageId, MapsLocalesToWindowsIdentifiers)
{
    const std::pair<const char*, int> cases[] = {
        {"de_DE.UTF-8", 0x0407}, {"de_CH.UTF-8", 0x0807},
        {"de_AT", 0x0C07},       {"de_LU", 0x1007},
        {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},
        {"fr_FR", 0x040C},       {"fr_CA.UTF-8", 0x0C0C},
        {"fr_CH", 0x100C},       {"es_ES.UTF-8", 0x0C0A},
        {"es_MX", 0x080A},       {"es_AR", 0x2C0A},
        {"it_IT", 0x0410},       {"it_CH", 0x0810},
        {"pt_PT", 0x0816},       {"pt_BR", 0x0416},
        {"nl_NL", 0x0413},       {"de", 0x0407},
        {"de_DE@euro", 0x0407},  {"C", 0x0409},
        {"POSIX", 0x0409},       {"", 0x0409},
        {"xx_YY", 0x0000},
    };
    for (const auto& [locale, id] : cases) {
        EXPECT_EQ(WindowsLanguageId(locale), id) << locale;
    }
}

TEST(UserInterfaceLocale, TakesTheFirstSetVariable)
{
    test::TempHome home;
    home.setEnv("LC_ALL", "");
    home.setEnv("LC_MESSAGES", "fr_CA.UTF-8");
    home.setEnv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(UserInterfaceLocale(), "fr_CA.UTF-8");
    home.setEnv("LC_ALL", "it_IT.UTF-8");
    EXPECT_EQ(UserInterfaceLanguageId(), 0x0410);
}

TEST(WindowsInfo, FoldersComeFromTheXdgDirectoriesWithoutTrailingSlash)
{
    test::TempHome home;
    const TWindowsInfo info;
    EXPECT_EQ(info.PersonalDir, home.path() + "/Documents");
    EXPECT_EQ(info.AppDataDir + "/", home.dataHome());
    EXPECT_FALSE(info.AppDataDir.endsWith('/'));
}

TEST(WindowsInfo, GermanSystemMeansGermanyOnly)
{
    test::TempHome home;
    home.setEnv("LC_ALL", "");
    for (const auto& [locale, german] : {std::pair{"de_DE.UTF-8", true},
                                         {"de_AT.UTF-8", false},
                                         {"de_CH.UTF-8", false},
                                         {"en_US.UTF-8", false}}) {
        home.setEnv("LANG", locale);
        EXPECT_EQ(TWindowsInfo().IsGermanSystem, german) << locale;
    }
}
