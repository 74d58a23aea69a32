// No caption is cut off: in every language and at every size class each button of the main
// window and its dialogs is wide enough for its caption, each label stays inside its window, and
// the menu bar shows every menu.
#include "StartupFixture.h"
#include "app/StartupDialogs.h"
#include "app/fAboutQVR.h"
#include "cdrip/fCDName.h"
#include "cdrip/fWizardEditTitle.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <string>
#include <tuple>

using namespace qvr;
using namespace qvr::test;

namespace {

// Caption, icon and the style's margins on both sides.
int neededWidth(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    const QStyle& style = *button.style();
    int needed = QFontMetrics(button.font()).horizontalAdvance(button.text()) +
                 2 * style.pixelMetric(QStyle::PM_ButtonMargin, &option, &button) +
                 2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    if (!button.icon().isNull()) {
        needed += button.iconSize().width();
    }
    return needed;
}

void expectCaptionsFit(const QWidget& window, const std::string& where)
{
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        EXPECT_LE(neededWidth(*button), button->width())
            << where << " " << button->objectName().toStdString() << " \""
            << button->text().toStdString() << "\"";
    }
    const QRect inside = window.rect();
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;  // pictures
        }
        const QRect placed(label->mapTo(&window, QPoint(0, 0)), label->size());
        EXPECT_LE(placed.right(), inside.right())
            << where << " " << label->objectName().toStdString() << " \""
            << label->text().toStdString() << "\"";
        if (!label->wordWrap()) {
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
                << where << " " << label->objectName().toStdString();
        }
    }
}

const char* const kLanguages[] = {"GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN"};
const int kScreenHeights[] = {768, 1080, 2160};

class CaptionFit : public StartupFixture,
                   public ::testing::WithParamInterface<std::tuple<const char*, int>> {};

}  // namespace

TEST_P(CaptionFit, EveryCaptionFitsItsControl)
{
    const auto [language, screenHeight] = GetParam();
    chooseLanguage(language);
    auto form = start({}, screenHeight);
    form->show();
    QApplication::processEvents();
    const std::string where = std::string(language) + " at " + std::to_string(screenHeight);
    expectCaptionsFit(*form, where);

    QMenuBar* bar = form->menuBar();
    for (QAction* menu : bar->actions()) {
        EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(menu)))
            << where << " menu " << menu->text().toStdString();
    }

    StartupDialogs dialogs(*form);
    expectCaptionsFit(*dialogs.AboutBox, where + " about box");
    expectCaptionsFit(*dialogs.CDName, where + " CD name");
    expectCaptionsFit(*dialogs.EditTitle, where + " edit title");
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndSizes, CaptionFit,
                         ::testing::Combine(::testing::ValuesIn(kLanguages),
                                            ::testing::ValuesIn(kScreenHeights)));
