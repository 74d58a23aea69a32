#include "cdrip/DialogLook.h"
#include "cdrip/FileNames.h"
#include "cdrip/fCDName.h"
#include "convert/Frequencies.h"
#include "lang/MessageBoxes.h"
#include "lang/TranslationDispatcher.h"
#include "platform/FileSystem.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

using namespace qvr;
using namespace qvr::test;

namespace {

class CdNameDialog : public ::testing::Test {
  protected:
    RecordingHost recorder;
    MessageBoxes messages{recorder, 1};
    TranslationDispatcher dispatcher;
    TCDNameForm dialog{&dispatcher, 100, messages};

    void TearDown() override
    {
        dialog.CloseAllowed = true;
        dialog.close();
    }

    void fill(const QString& name, int frequency)
    {
        dialog.Edit1->setText(name);
        dialog.ComboBox1->setCurrentIndex(frequency);
    }

    void press(int key, QWidget* target)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
};

bool sameColour(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 &&
           std::abs(a.blue() - b.blue()) <= 6;
}

}  // namespace

TEST_F(CdNameDialog, OkCleansTheNameForItsFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"AC/DC: Live!", "AC-DC--Live-"},
        {"Über Äpfel", "Uber-Aepfel"},
        {"Straße", "Strasse"},
        {"Café del Mar", "Cafe-del-Mar"},
        {"Ñandú", "Nandu"},
        {"  Greatest Hits  ", "Greatest-Hits"},  // outer blanks trimmed first
        {"?!", "--"},
        {"Öl & Wasser (Remix) 100%", "Oel---Wasser--Remix--100-"},
        {"Ça, là-bas = ï€", "Ca--la-bas---i-"},
        {"\tTab\x01inside\x7F\n", "Tabinside"},  // control characters have no place in a folder
    };
    dialog.open();
    for (const auto& [typed, cleaned] : cases) {
        fill(QString::fromUtf8(typed), 4);
        dialog.BitBtn1->click();
        EXPECT_EQ(dialog.CdName, QString::fromUtf8(cleaned)) << typed;
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << typed;
        dialog.open();
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(CleanCdName, LeavesOtherCharactersAlone)
{
    const QString untouched = QString::fromUtf8("abcXYZ0189_#+~|ãåøæÆØÅœŠ[]{}@;^");
    EXPECT_EQ(TCDNameForm::CleanCdName(untouched), untouched);
    const QString dashes = QString::fromUtf8(" '&*:()\\/><.-!$%=\"§?,´`€");
    EXPECT_EQ(TCDNameForm::CleanCdName(dashes), QString(dashes.size(), u'-'));
    EXPECT_EQ(TCDNameForm::CleanCdName(QString::fromUtf8("áàâéèêëíìîïóòôúùûüçñ")),
              "aaaeeeeiiiiooouuuucn");
    EXPECT_EQ(TCDNameForm::CleanCdName(QString::fromUtf8("ÁÀÂÉÈÊËÍÌÎÏÓÒÔÚÙÛÜÇÑ")),
              "AAAEEEEIIIIOOOUUUUCN");
    EXPECT_EQ(TCDNameForm::CleanCdName(QString::fromUtf8("äÄöÖß")), "aeAeoeOess");
}

TEST(CleanCdName, KeepsTheLettersOfEveryScript)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Кино — Группа крови", "Кино-—-Группа-крови"},
        {"Ария", "Ария"},
        {"Μίκης Θεοδωράκης", "Μίκης-Θεοδωράκης"},
        {"東京事変", "東京事変"},
        {"椎名林檎 / 三文ゴシップ", "椎名林檎---三文ゴシップ"},
        {"서태지와 아이들", "서태지와-아이들"},
        {"संगीत", "संगीत"},  // the vowel signs stay with their letters
        {"Zażółć gęślą jaźń", "Zażołć-gęślą-jaźń"},
        {"Rock 🎸 Hits!", "Rock-🎸-Hits-"},
        {"Cafe\u0301 Noir", "Cafe-Noir"},  // an accent typed after its letter
        {"٣ أغاني", "٣-أغاني"},
    };
    for (const auto& [typed, cleaned] : cases) {
        EXPECT_EQ(TCDNameForm::CleanCdName(QString::fromUtf8(typed)), QString::fromUtf8(cleaned))
            << typed;
    }
    // Names of the same length in another script no longer clean alike.
    EXPECT_NE(TCDNameForm::CleanCdName(QStringLiteral("Кино")),
              TCDNameForm::CleanCdName(QStringLiteral("Ария")));
}

// A CD folder remembers the name its CD was given; a name that cleans to the folder of another
// CD gets a numbered folder of its own, the same name takes its folder again.
TEST_F(CdNameDialog, ANameCleaningToTheFolderOfAnotherCdGetsItsOwnFolder)
{
    TempHome home;
    dialog.CdInputFolder = home.path() + "/CD-ROM-Input/";
    const auto claim = [&](const char* folder, const char* cdName) {
        const QString path = dialog.CdInputFolder + QString::fromUtf8(folder) + u'/';
        ForceDirectories(path);
        if (cdName != nullptr) {
            ASSERT_TRUE(MarkCdFolder(path, QString::fromUtf8(cdName)));
        }
    };
    claim("AC-DC", "AC/DC");
    claim("AC-DC (2)", "AC:DC");
    claim("Old-Album", nullptr);  // made before folders told their CD's name
    claim("Кино", "Кино");
    const std::pair<const char*, const char*> cases[] = {
        {"AC/DC", "AC-DC"},      // the same CD read again
        {"  AC/DC  ", "AC-DC"},  // blanks around a name do not make another CD
        {"AC:DC", "AC-DC (2)"}, {"AC DC", "AC-DC (3)"}, {"Old Album", "Old-Album"},
        {"Кино", "Кино"},       {"Ария", "Ария"},       {"New CD", "New-CD"},
    };
    dialog.open();
    for (const auto& [typed, folder] : cases) {
        fill(QString::fromUtf8(typed), 4);
        dialog.BitBtn1->click();
        EXPECT_EQ(dialog.CdName, QString::fromUtf8(folder)) << typed;
        dialog.open();
    }
}

TEST(CdFolderName, StaysWithinTheLongestFolderName)
{
    TempHome home;
    const QString input = home.path() + "/";
    const QString typed = QString(100, QChar(0x6771));  // 300 bytes in UTF-8
    const QString first = CdFolderName(input, typed, typed);
    EXPECT_EQ(first, QString(85, QChar(0x6771)));
    ASSERT_TRUE(ForceDirectories(input + first));
    ASSERT_TRUE(MarkCdFolder(input + first, typed));
    const QString second = CdFolderName(input, typed, typed + QStringLiteral("!"));
    EXPECT_EQ(second, QString(83, QChar(0x6771)) + QStringLiteral(" (2)"));
    // A letter keeps its vowel sign: 6 bytes together, so 42 fit and 3 bytes stay free.
    const QString syllables = QStringLiteral("\u0915\u093F").repeated(50);
    EXPECT_EQ(CdFolderName(input, syllables, syllables),
              QStringLiteral("\u0915\u093F").repeated(42));
}

TEST_F(CdNameDialog, OkWithoutNameOrFrequencyShowsTheMessageAndStaysOpen)
{
    const std::pair<const char*, int> incomplete[] = {{"", 3}, {"   ", 3}, {"\t", 3}, {"Name", -1}};
    dialog.open();
    for (const auto& [name, frequency] : incomplete) {
        recorder.messages.clear();
        fill(QString::fromUtf8(name), frequency);
        dialog.BitBtn1->click();
        EXPECT_TRUE(dialog.isVisible()) << name;
        EXPECT_FALSE(dialog.CloseAllowed);
        ASSERT_EQ(recorder.messages.size(), 1u) << name;
        EXPECT_EQ(recorder.messages[0].text, "Bitte zuerst alle Daten eingeben!");
        EXPECT_EQ(recorder.messages[0].kind, MessageKind::Information);
        ASSERT_EQ(recorder.messages[0].buttons.size(), 1u);
        EXPECT_EQ(recorder.messages[0].buttons[0].button, MessageButton::OK);
    }
    EXPECT_FALSE(dialog.MSGLabel->isVisible());
}

TEST_F(CdNameDialog, TheCloseBoxWorksOnlyAfterASuccessfulOk)
{
    dialog.open();
    EXPECT_FALSE(dialog.close());  // first showing: refused
    EXPECT_TRUE(dialog.isVisible());
    fill("Album", 2);
    dialog.BitBtn1->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.open();  // the name and the frequency are still there
    EXPECT_EQ(dialog.Edit1->text(), "Album");
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), 2);
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.open();
    fill("", 2);
    dialog.BitBtn1->click();  // failed: closing is refused again
    EXPECT_FALSE(dialog.close());
    dialog.AbortBitBtn->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(CdNameDialog, ADiscTitleIsOfferedInPlaceOfThePreviousName)
{
    const struct {
        const char* previous;
        const char* title;
        const char* offered;
    } cases[] = {
        {"Old Album", "Greatest Hits", "Greatest Hits"},
        {"Old Album", "", "Old Album"},  // a disc without CD-TEXT
        {"", "AC/DC: Live!", "AC/DC: Live!"},
    };
    for (const auto& c : cases) {
        fill(QString::fromUtf8(c.previous), 4);
        dialog.OfferDiscTitle(QString::fromUtf8(c.title));
        EXPECT_EQ(dialog.Edit1->text(), QString::fromUtf8(c.offered)) << c.title;
    }
    // The offer is a name like a typed one: cleaned for the folder, kept as it is for display.
    dialog.open();
    dialog.BitBtn1->click();
    EXPECT_EQ(dialog.CdName, QStringLiteral("AC-DC--Live-"));
    EXPECT_EQ(dialog.TypedName(), QStringLiteral("AC/DC: Live!"));
}

TEST_F(CdNameDialog, EnterAndEscapeDoNothing)
{
    fill("Album", 1);
    dialog.open();
    for (QWidget* target : std::initializer_list<QWidget*>{&dialog, dialog.Edit1, dialog.BitBtn1}) {
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            press(key, target);
            EXPECT_TRUE(dialog.isVisible()) << target->objectName().toStdString() << " " << key;
        }
    }
    EXPECT_FALSE(dialog.BitBtn1->isDefault());
    EXPECT_FALSE(dialog.BitBtn1->autoDefault());
    EXPECT_FALSE(dialog.AbortBitBtn->autoDefault());
}

TEST_F(CdNameDialog, EachShowingTakesTheCurrentSkinsGradient)
{
    DialogColours skin{QColor(255, 255, 255), QColor(83, 100, 169)};
    dialog.followColours(skin);
    dialog.open();
    QImage shown = dialog.grab().toImage();
    EXPECT_TRUE(sameColour(shown.pixelColor(2, 0), skin.start));
    EXPECT_TRUE(sameColour(shown.pixelColor(2, shown.height() - 1), skin.end));
    dialog.AbortBitBtn->click();

    skin.end = QColor(19, 75, 135);  // another skin chosen meanwhile
    dialog.open();
    shown = dialog.grab().toImage();
    EXPECT_EQ(dialog.gradientEnd(), QColor(19, 75, 135));
    EXPECT_TRUE(sameColour(shown.pixelColor(2, shown.height() - 1), skin.end));
}

TEST(CdNameDialogLayout, IsDesignedAt340By193AndEnlargedOnLargeScreens)
{
    RecordingHost recorder;
    const MessageBoxes messages(recorder, 1);
    TranslationDispatcher dispatcher;
    const TCDNameForm normal(&dispatcher, 100, messages);
    EXPECT_EQ(normal.size(), QSize(340, 193));
    EXPECT_EQ(normal.Edit1->geometry(), QRect(16, 32, 305, 21));
    ASSERT_EQ(normal.ComboBox1->count(), FrequencyCount());
    for (int i = 0; i < FrequencyCount(); ++i) {
        EXPECT_EQ(normal.ComboBox1->itemText(i), FrequencyItems()[i]);
    }
    EXPECT_EQ(normal.ComboBox1->currentIndex(), -1);
    EXPECT_EQ(normal.ComboBox1->maxVisibleItems(), 20);
    EXPECT_EQ(normal.windowTitle(), "Quorvane");
    const TCDNameForm large(&dispatcher, 129, messages);
    EXPECT_EQ(large.ScalePercent, 129);
    EXPECT_EQ(large.size(), QSize(439, 249));
    EXPECT_EQ(large.Edit1->geometry(), QRect(21, 41, 393, 27));
    EXPECT_EQ(large.BitBtn1->geometry(), QRect(224, 186, 166, 32));
}

TEST(CdNameDialogTexts, FollowTheDispatchersLanguage)
{
    RecordingHost recorder;
    const MessageBoxes messages(recorder, 1);
    struct Texts {
        const char* language;
        const char* label1;
        const char* label2;
        const char* prompt;
        const char* message;
        const char* cancel;
    };
    const Texts languages[] = {
        {"LanguageDE", "Name für die CD eingeben", "Nach dem CD einlesen Konvertieren in:",
         "- Bitte Auswählen -", "Bitte zuerst alle Daten eingeben!", "Abbrechen"},
        {"LanguageEN", "Enter a name for the CD", "After reading in the CD convert to:",
         "- Please select -", "Please enter all data first!", "Cancel"},
        {"LanguageES", "Introduzca un nombre para el CD", "Después de leer en el CD convertir a:",
         "- Por favor, seleccione -", "Por favor, introduzca primero todos los datos.", "Cancelar"},
        {"LanguageFR", "Saisir un nom pour le CD", "Après avoir lu le CD, convertissez-le en :",
         "- Veuillez sélectionner -", "Veuillez d'abord saisir toutes les données !", "Annuler"},
        {"LanguageIT", "Inserire un nome per il CD", "Dopo la lettura del CD convertire in:",
         "- Si prega di selezionare -", "Inserire prima tutti i dati!", "Annulla"},
    };
    for (const Texts& t : languages) {
        SCOPED_TRACE(t.language);
        TranslationDispatcher dispatcher;
        ASSERT_TRUE(dispatcher.setLanguage(t.language));
        const TCDNameForm dialog(&dispatcher, 100, messages);  // created after the language was set
        EXPECT_EQ(dialog.windowTitle(), "Quorvane");
        EXPECT_EQ(dialog.Label1->text(), QString::fromUtf8(t.label1));
        EXPECT_EQ(dialog.Label2->text(), QString::fromUtf8(t.label2));
        EXPECT_EQ(dialog.ComboBox1->placeholderText(), QString::fromUtf8(t.prompt));
        EXPECT_EQ(dialog.MSGLabel->text(), QString::fromUtf8(t.message));
        EXPECT_EQ(dialog.AbortBitBtn->text(), QString::fromUtf8(t.cancel));
        EXPECT_EQ(dialog.BitBtn1->text(), "OK");
        EXPECT_EQ(dialog.ComboBox1->itemText(4), "432Hz");
        EXPECT_GE(dialog.Label2->width(), dialog.Label2->sizeHint().width());  // not cut off
    }
}
