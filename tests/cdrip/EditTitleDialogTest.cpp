#include "cdrip/fWizardEditTitle.h"
#include "lang/Language.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qvr;
using namespace qvr::test;

namespace {

// The numbered texts of the shipped "Language.ini" in a language of the run.
class EditTitleDialog : public ::testing::Test {
  protected:
    TempHome home;
    RecordingHost recorder;
    ScopedHost scoped{recorder};
    QString savedLanguage = ProgramLanguage;

    void SetUp() override
    {
        writeFile(home.path() + "/program/Language.ini",
                  readFile(QStringLiteral(QUORVANE_SOURCE_DIR "/data/Language.ini")));
        LoadLanguageFile(home.path() + "/program/");
    }
    void TearDown() override { ProgramLanguage = savedLanguage; }
};

}  // namespace

TEST_F(EditTitleDialog, TakesItsTextsFromTheNumberedTexts)
{
    for (const char* language : {"GERMAN", "ENGLISH", "ITALIAN"}) {
        SCOPED_TRACE(language);
        ProgramLanguage = QString::fromLatin1(language);
        const TEditTitleWizzard dialog(100);
        EXPECT_EQ(dialog.windowTitle(), GetLanguageText(22201));
        EXPECT_EQ(dialog.Label3->text(), GetLanguageText(22200));
        EXPECT_EQ(dialog.AbortBitBtn->text(), GetLanguageText(22203));
        EXPECT_EQ(dialog.WeiterBitBtn->text(), GetLanguageText(22204));
        EXPECT_FALSE(dialog.WeiterBitBtn->text().isEmpty());
    }
    ProgramLanguage = QStringLiteral("GERMAN");
    const TEditTitleWizzard german(100);
    EXPECT_EQ(german.windowTitle(), "Titel der Audiodatei");
    EXPECT_EQ(german.WeiterBitBtn->text(), "Weiter");
    EXPECT_EQ(german.size(), QSize(345, 131));
    EXPECT_EQ(german.WeiterBitBtn->layoutDirection(), Qt::RightToLeft);  // picture right
}

TEST_F(EditTitleDialog, AMissingTextLeavesItsCaptionEmpty)
{
    ProgramLanguage = QStringLiteral("KLINGON");
    const TEditTitleWizzard dialog(100);
    EXPECT_EQ(dialog.windowTitle(), "");
    EXPECT_EQ(dialog.WeiterBitBtn->text(), "");
}

TEST_F(EditTitleDialog, OnlyWeiterGivesOk)
{
    TEditTitleWizzard dialog(100);
    dialog.Edit1->setText(" Track 1 ");
    dialog.open();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(dialog.Edit1, &event);
        EXPECT_TRUE(dialog.isVisible()) << key;
    }
    dialog.WeiterBitBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Edit1->text(), " Track 1 ");

    dialog.open();
    dialog.AbortBitBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.open();
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(EditTitleDialog, IsEnlargedOnLargeScreens)
{
    const TEditTitleWizzard dialog(147);
    EXPECT_EQ(dialog.size(), QSize(507, 193));
    EXPECT_EQ(dialog.Edit1->geometry(), QRect(35, 59, 425, 31));
}
