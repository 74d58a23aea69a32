#include "lang/Language.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/IniFile.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qvr;
using qvr::test::writeFile;

namespace {

const int kNumbers[] = {530,   531,   532,   533,   534,   535,   500,   501,   502,   503,
                        504,   505,   506,   507,   508,   10000, 10001, 10002, 10003, 20001,
                        20002, 20003, 20004, 20005, 20006, 20007, 20010, 20011, 20017, 20035,
                        22021, 22034, 22101, 22200, 22201, 22203, 22204};
const char* const kLanguages[] = {"GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN"};

}  // namespace

TEST(LanguageIni, HasEveryNumberedTextInEveryLanguage)
{
    IniFile ini(QStringLiteral(QUORVANE_SOURCE_DIR "/data/Language.ini"));
    for (const char* language : kLanguages) {
        for (int number : kNumbers) {
            EXPECT_FALSE(ini.readString(language, QString::number(number)).isEmpty())
                << language << " " << number;
        }
    }
}

class LanguageStartup : public ::testing::Test {
  protected:
    test::TempHome home;
    test::RecordingHost recorder;
    MessageBoxes messages{recorder, 1};
    ProgramTexts texts;
    QString programFolder = home.path() + "/program/";

    void SetUp() override
    {
        writeFile(programFolder + "Language.ini",
                  "[ENGLISH]\n505=Done\n[FRANCE]\n505=Terminé\n[GERMAN]\n0505=Fertig\n");
    }
    void choose(const QByteArray& firstLine)
    {
        writeFile(home.workFolder() + "LanguageIsSet.ini", firstLine + "\r\n");
    }
    void settle() { texts = SettleProgramTexts(home.dataHome(), programFolder, messages); }
};

TEST(DesktopLanguage, TheLocalesLanguageChoosesOneOfTheFiveElseEnglish)
{
    const struct {
        const char* locale;
        const char* language;
    } cases[] = {{"de_DE.UTF-8", "GERMAN"},  {"de_AT", "GERMAN"},        {"de", "GERMAN"},
                 {"es_MX.UTF-8", "SPAIN"},   {"fr_CA.UTF-8", "FRANCE"},  {"fr_FR@euro", "FRANCE"},
                 {"it_CH.UTF-8", "ITALIAN"}, {"en_GB.UTF-8", "ENGLISH"}, {"pt_BR.UTF-8", "ENGLISH"},
                 {"C.UTF-8", "ENGLISH"},     {"POSIX", "ENGLISH"},       {"", "ENGLISH"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramLanguageForLocale(c.locale), c.language) << c.locale;
    }
}

// LC_ALL overrides LC_MESSAGES, which overrides LANG; an empty variable counts as unset.
TEST(DesktopLanguage, TheFirstSetVariableDecides)
{
    test::TempHome home;
    const struct {
        const char *all, *messages, *lang, *language;
    } cases[] = {{"", "", "de_DE.UTF-8", "GERMAN"},
                 {"", "fr_FR.UTF-8", "de_DE.UTF-8", "FRANCE"},
                 {"it_IT.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", "ITALIAN"},
                 {"", "", "", "ENGLISH"}};
    for (const auto& c : cases) {
        home.setEnv("LC_ALL", c.all);
        home.setEnv("LC_MESSAGES", c.messages);
        home.setEnv("LANG", c.lang);
        EXPECT_EQ(DesktopProgramLanguage(), c.language) << c.all << c.messages << c.lang;
    }
}

TEST(DesktopLanguage, EachLanguageHasItsMessageBoxLanguage)
{
    EXPECT_EQ(MessageLanguageIndexOf("GERMAN"), 0);
    EXPECT_EQ(MessageLanguageIndexOf("ENGLISH"), 1);
    EXPECT_EQ(MessageLanguageIndexOf("FRANCE"), 2);
    EXPECT_EQ(MessageLanguageIndexOf("SPAIN"), 3);
    EXPECT_EQ(MessageLanguageIndexOf("ITALIAN"), 4);
    EXPECT_EQ(MessageLanguageIndexOf("france"), -1);
}

TEST_F(LanguageStartup, WithoutAChoiceTheDesktopsLanguageIsTaken)
{
    home.setEnv("LANG", "fr_FR.UTF-8");
    settle();
    EXPECT_EQ(texts.language(), "FRANCE");
    EXPECT_EQ(texts.text(505), "Terminé");
    EXPECT_FALSE(QFile::exists(LanguageChoiceFile(home.dataHome())));
}

TEST_F(LanguageStartup, AStoredChoiceWinsOverTheDesktop)
{
    home.setEnv("LANG", "fr_FR.UTF-8");
    ASSERT_TRUE(StoreLanguageChoice(home.dataHome(), "ENGLISH"));
    settle();
    EXPECT_EQ(texts.language(), "ENGLISH");
    EXPECT_EQ(test::readFile(LanguageChoiceFile(home.dataHome())), "ENGLISH\r\n");
}

TEST_F(LanguageStartup, NoChoiceMeansEnglish)
{
    settle();
    EXPECT_EQ(texts.language(), "ENGLISH");
    EXPECT_EQ(texts.text(505), "Done");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(LanguageStartup, TheFirstLineIsTakenExactlyAsWritten)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"FRANCE", "Terminé"}, {"france", ""}, {"FRANCE ", ""}, {"ITALIAN", ""}};
    for (const auto& [line, text] : cases) {
        choose(line);
        settle();
        EXPECT_EQ(texts.language(), QString::fromUtf8(line));
        EXPECT_EQ(texts.text(505), text) << line.constData();
    }
}

TEST_F(LanguageStartup, KeysAreNumbersWithoutLeadingZeros)
{
    choose("GERMAN");
    settle();
    EXPECT_EQ(texts.text(505), "");
}

TEST_F(LanguageStartup, AMissingTextFileIsReportedOnceAndGivesEmptyTexts)
{
    QFile::remove(programFolder + "Language.ini");
    settle();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, programFolder + "Language.ini not found!");
    EXPECT_EQ(recorder.messages[0].kind, MessageKind::Error);
    ASSERT_EQ(recorder.messages[0].buttons.size(), 1u);
    EXPECT_EQ(recorder.messages[0].buttons[0].button, MessageButton::OK);
    EXPECT_EQ(texts.text(505), "");
}

TEST_F(LanguageStartup, AnEmptyChoiceFileCountsAsEnglish)
{
    writeFile(home.workFolder() + "LanguageIsSet.ini", "");
    settle();
    EXPECT_EQ(texts.language(), "ENGLISH");
}
