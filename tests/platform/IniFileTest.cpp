#include "platform/IniFile.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qvr;
using qvr::test::readFile;
using qvr::test::writeFile;

class IniFileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path = dir.path() + "/test.ini";
};

TEST_F(IniFileTest, ReadsSectionsAndKeysExactly)
{
    writeFile(
        path,
        "[ENGLISH]\r\n505=Done\r\n0506=files\r\nList = a, b ,c \r\n[GERMAN]\r\n505=Fertig\r\n");
    IniFile ini(path);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"ENGLISH", "505", "Done"},     {"english", "505", ""}, {"GERMAN", "505", "Fertig"},
        {"ENGLISH", "0505", ""},        {"ENGLISH", "506", ""}, {"ENGLISH", "0506", "files"},
        {"ENGLISH", "List", "a, b ,c"}, {"FRANCE", "505", ""},  {"ENGLISH", "999", ""},
        {"ENGLISH ", "505", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.readString(c.section, c.key), c.expected) << c.section << " " << c.key;
    }
}

TEST_F(IniFileTest, MissingFileGivesTheDefault)
{
    EXPECT_EQ(IniFile(path).readString("SETTINGS", "Language"), "");
    EXPECT_EQ(IniFile(path).readString("SETTINGS", "Language", "x"), "x");
}

TEST_F(IniFileTest, WriterReplacesOneKeyAndKeepsTheRest)
{
    writeFile(path,
              "; comment\r\n[SETTINGS]\r\nLanguage=GERMAN\r\nOther=1,2\r\n\r\n[MORE]\r\nx=y\r\n");
    ASSERT_TRUE(IniFile(path).writeString("SETTINGS", "Language", "ENGLISH"));
    EXPECT_EQ(readFile(path),
              "; comment\r\n[SETTINGS]\r\nLanguage=ENGLISH\r\nOther=1,2\r\n\r\n[MORE]\r\nx=y\r\n");
}

TEST_F(IniFileTest, WriterAddsKeysAndSections)
{
    writeFile(path, "[SETTINGS]\r\nOther=1\r\n\r\n[MORE]\r\nx=y\r\n");
    ASSERT_TRUE(IniFile(path).writeString("SETTINGS", "Language", "ENGLISH"));
    ASSERT_TRUE(IniFile(path).writeString("NEW", "k", "v"));
    EXPECT_EQ(readFile(path),
              "[SETTINGS]\r\nOther=1\r\nLanguage=ENGLISH\r\n\r\n[MORE]\r\nx=y\r\n[NEW]\r\nk=v\r\n");
    EXPECT_EQ(IniFile(path).readString("SETTINGS", "Language"), "ENGLISH");
}

TEST_F(IniFileTest, WriterCreatesAMissingFile)
{
    ASSERT_TRUE(IniFile(path).writeString("SETTINGS", "Language", "ITALIAN"));
    EXPECT_EQ(readFile(path), "[SETTINGS]\r\nLanguage=ITALIAN\r\n");
}
