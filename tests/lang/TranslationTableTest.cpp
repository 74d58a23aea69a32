#include "lang/TranslationDispatcher.h"
#include "lang/TranslationTable.h"
#include "lang/Windows1252.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

using namespace qvr;

namespace {

QByteArray row(const char* key, std::initializer_list<const char*> texts)
{
    QByteArray line = QByteArray(key) + kTableDelimiter;
    for (const char* text : texts) {
        line += ToWindows1252(QString::fromUtf8(text)) + kTableDelimiter;
    }
    return line + "\r\n";
}

// A stored table with every section, in order; rows go into the named sections.
QByteArray storedTable(const std::map<QString, QByteArray>& rows)
{
    QByteArray stored;
    for (const QString& section : TranslationTable::SectionNames()) {
        stored += section.toLatin1() + "\r\n";
        if (auto it = rows.find(section); it != rows.end()) {
            stored += it->second;
        }
    }
    return stored;
}

// A small form with the kinds of controls the tables translate.
struct Form {
    QWidget window;
    QLabel* label = new QLabel(QStringLiteral("Hallo"), &window);
    QComboBox* combo = new QComboBox(&window);
    QLineEdit* edit = new QLineEdit(&window);

    Form()
    {
        window.setObjectName(QStringLiteral("TTestForm"));
        label->setObjectName(QStringLiteral("Label1"));
        combo->setObjectName(QStringLiteral("ComboBox1"));
        combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
        combo->setPlaceholderText(QStringLiteral("- Bitte -"));
        combo->setCurrentIndex(-1);
        edit->setObjectName(QStringLiteral("Edit1"));
        edit->setText(QStringLiteral("/home/x/song.mp3"));
    }
};

const QByteArray kTable = storedTable({
    {"stCaptions", row("TTestForm", {"Fenster", "Window", "", "Fenêtre", ""}) +
                       row("Label1", {"Hallo", "Hello", "Hola", "", "Ciao"}) +
                       row("NoSuchControl", {"x", "x", "x", "x", "x"})},
    {"stHints", row("Label1", {"", "A greeting", "", "", ""})},
    {"stFonts", row("Label1", {"Tahoma", "", "", "", ""})},
    {"stMultiLines", row("ComboBox1.Items", {"a,b", "one,two,three", "", "", ""})},
    {"stOtherStrings", row("ComboBox1.Text", {"- Bitte -", "- Please -", "", "", ""}) +
                           row("Edit1.FileName", {"", "/nowhere", "", "", ""}) +
                           row("Edit1.Text", {"", "typed", "", "", ""})},
    {"stDlgsCaptions", row("Yes", {"&Ja", "", "", "", ""})},
    {"stCharSets", row("Label1", {"ANSI_CHARSET", "DEFAULT_CHARSET", "", "", ""})},
});

}  // namespace

TEST(TranslationTable, ReadsTheStoredFormat)
{
    const TranslationTable table = TranslationTable::Parse(kTable);
    ASSERT_EQ(table.sections().size(), 11u);
    for (std::size_t i = 0; i < table.sections().size(); ++i) {
        EXPECT_EQ(table.sections()[i].name, TranslationTable::SectionNames()[static_cast<int>(i)]);
    }
    const TranslationSection* captions = table.section("stCaptions");
    ASSERT_NE(captions, nullptr);
    ASSERT_EQ(captions->rows.size(), 3u);
    EXPECT_EQ(captions->rows[0].key, "TTestForm");
    EXPECT_EQ(captions->rows[0].texts[3], "Fenêtre");  // Windows-1252 0xEA
    EXPECT_EQ(captions->rows[0].texts[2], "");
    EXPECT_EQ(table.store(), kTable);

    // A short row has empty texts; a line without line end still counts.
    const TranslationTable shortRow =
        TranslationTable::Parse(QByteArray("stCaptions\nLabel1\x01Hallo\x01"));
    ASSERT_EQ(shortRow.sections()[0].rows.size(), 1u);
    EXPECT_EQ(shortRow.sections()[0].rows[0].texts[0], "Hallo");
    EXPECT_EQ(shortRow.sections()[0].rows[0].texts[4], "");
}

TEST(FormTranslation, WritesALanguageAndKeepsTheDesignWhereACellIsEmpty)
{
    Form form;
    TranslationDispatcher dispatcher;
    FormTranslation translation(&form.window, TranslationTable::Parse(kTable), &dispatcher);
    EXPECT_EQ(form.window.windowTitle(), "Fenster");  // attached: German at once
    EXPECT_EQ(form.label->font().family(), "Tahoma");

    ASSERT_TRUE(dispatcher.setLanguage("LanguageEN"));
    EXPECT_EQ(form.window.windowTitle(), "Window");
    EXPECT_EQ(form.label->text(), "Hello");
    EXPECT_EQ(form.label->toolTip(), "A greeting");
    EXPECT_EQ(form.combo->count(), 3);
    EXPECT_EQ(form.combo->itemText(2), "three");
    EXPECT_EQ(form.combo->currentIndex(), -1);
    EXPECT_EQ(form.combo->placeholderText(), "- Please -");
    EXPECT_EQ(form.edit->text(), "typed");

    ASSERT_TRUE(dispatcher.setLanguage("LanguageFR"));
    EXPECT_EQ(form.window.windowTitle(), "Fenêtre");
    EXPECT_EQ(form.label->text(), "Hello");  // no French text: the last one stays
    ASSERT_TRUE(dispatcher.setLanguage("LanguageIT"));
    EXPECT_EQ(form.label->text(), "Ciao");
}

TEST(FormTranslation, ExcludedPropertiesAreNeverTouched)
{
    const QByteArray table =
        storedTable({{"stOtherStrings", row("Edit1.FileName", {"", "/x", "", "", ""}) +
                                            row("Edit1.InitialDir", {"", "/y", "", "", ""})}});
    Form form;
    form.edit->setProperty("fileName", QStringLiteral("kept"));
    TranslationDispatcher dispatcher;
    FormTranslation translation(&form.window, TranslationTable::Parse(table), &dispatcher);
    dispatcher.setLanguage("LanguageEN");
    EXPECT_EQ(form.edit->property("fileName").toString(), "kept");
    EXPECT_EQ(form.edit->text(), "/home/x/song.mp3");
}

TEST(TranslationDispatcher, ATableAttachedLaterTakesTheCurrentLanguage)
{
    TranslationDispatcher dispatcher;
    EXPECT_EQ(dispatcher.language(), "LanguageDE");
    EXPECT_FALSE(dispatcher.setLanguage("LanguageXX"));
    EXPECT_EQ(dispatcher.language(), "LanguageDE");
    ASSERT_TRUE(dispatcher.setLanguage("LanguageES"));
    Form form;
    FormTranslation translation(&form.window, TranslationTable::Parse(kTable), &dispatcher);
    EXPECT_EQ(form.label->text(), "Hola");
}

TEST(TranslationDispatcher, NamesTheTableLanguageOfEachLanguageOfTheRun)
{
    const std::pair<const char*, const char*> cases[] = {
        {"GERMAN", "LanguageDE"},  {"ENGLISH", "LanguageEN"},
        {"SPAIN", "LanguageES"},   {"FRANCE", "LanguageFR"},
        {"ITALIAN", "LanguageIT"}, {"FRANCE ", ""},
        {"english", ""},           {"", ""}};
    for (const auto& [code, name] : cases) {
        EXPECT_EQ(TableLanguageName(code), name) << code;
    }
}

TEST(Windows1252, RoundTripsTheCodePage)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const QString text = FromWindows1252(all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    EXPECT_EQ(ToWindows1252(text), all);
    EXPECT_EQ(ToWindows1252(QStringLiteral("Ж€")), QByteArray("?\x80"));
}
