#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/IniFile.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qvr;
using qvr::test::writeFile;

namespace {

const int kNumbers[] = {500,   501,   502,   503,   504,   505,   506,   507,   508,   10000, 10001,
                        10002, 10003, 20001, 20002, 20003, 20004, 20005, 20006, 20007, 20010, 20011,
                        20017, 20035, 22021, 22034, 22101, 22200, 22201, 22203, 22204};
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
