#include "cdrip/fWizardEditTitle.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qvr;
using namespace qvr::test;

namespace {

class EditTitleDialog : public ::testing::Test {
  protected:
    ProgramTexts texts = shippedTexts("GERMAN");
};

}  // namespace

TEST_F(EditTitleDialog, TakesItsTextsFromTheNumberedTexts)
{
    for (const char* language : {"GERMAN", "ENGLISH", "ITALIAN"}) {
        SCOPED_TRACE(language);
        const ProgramTexts texts = shippedTexts(language);
        const TEditTitleWizzard dialog(100, texts);
        EXPECT_EQ(dialog.windowTitle(), texts.text(22201));
        EXPECT_EQ(dialog.Label3->text(), texts.text(22200));
        EXPECT_EQ(dialog.AbortBitBtn->text(), texts.text(22203));
        EXPECT_EQ(dialog.WeiterBitBtn->text(), texts.text(22204));
        EXPECT_FALSE(dialog.WeiterBitBtn->text().isEmpty());
    }
    const TEditTitleWizzard german(100, texts);
    EXPECT_EQ(german.windowTitle(), "Titel der Audiodatei");
    EXPECT_EQ(german.WeiterBitBtn->text(), "Weiter");
    EXPECT_EQ(german.size(), QSize(345, 131));
    EXPECT_EQ(german.WeiterBitBtn->layoutDirection(), Qt::RightToLeft);  // picture right
}

TEST_F(EditTitleDialog, AMissingTextLeavesItsCaptionEmpty)
{
    const ProgramTexts klingon = shippedTexts("KLINGON");
    const TEditTitleWizzard dialog(100, klingon);
    EXPECT_EQ(dialog.windowTitle(), "");
    EXPECT_EQ(dialog.WeiterBitBtn->text(), "");
}

TEST_F(EditTitleDialog, OnlyWeiterGivesOk)
{
    TEditTitleWizzard dialog(100, texts);
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
    const TEditTitleWizzard dialog(147, texts);
    EXPECT_EQ(dialog.size(), QSize(507, 193));
    EXPECT_EQ(dialog.Edit1->geometry(), QRect(35, 59, 425, 31));
}
