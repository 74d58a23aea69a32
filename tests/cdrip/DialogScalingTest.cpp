// The ripper, CD name and title dialogs at every screen size class and in every language:
// no text is cut off and no two controls overlap.

#include "CdImage.h"
#include "RipperRuns.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "cdrip/fWizardEditTitle.h"
#include "lang/MessageBoxes.h"
#include "lang/TranslationDispatcher.h"
#include "support/FakeClock.h"
#include "support/RecordingHost.h"
#include "support/ShippedTexts.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionGroupBox>

#include <tuple>
#include <vector>

using namespace qvr;
using namespace qvr::test;

namespace {

struct Language {
    const char* code;   // language of the run
    const char* table;  // language of the translation tables
};

constexpr Language kLanguages[] = {{"GERMAN", "LanguageDE"},
                                   {"ENGLISH", "LanguageEN"},
                                   {"SPAIN", "LanguageES"},
                                   {"FRANCE", "LanguageFR"},
                                   {"ITALIAN", "LanguageIT"}};

// The enlargements of the size classes 768, 900, 1080, 1440 and 2160, and the largest there is.
constexpr int kScalePercents[] = {100, 115, 129, 147, 164, 168};

std::string describe(const QWidget* w)
{
    return w->objectName().toStdString() + " " + std::to_string(w->x()) + "," +
           std::to_string(w->y()) + " " + std::to_string(w->width()) + "x" +
           std::to_string(w->height());
}

QString textOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    return {};
}

// The part of a group box that its controls may take: below its title.
QRect freeArea(const QWidget* parent)
{
    const auto* box = qobject_cast<const QGroupBox*>(parent);
    if (box == nullptr || box->title().isEmpty()) {
        return parent->rect();
    }
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return parent->rect().adjusted(0, title.bottom() + 1, 0, 0);
}

std::vector<QWidget*> visibleControls(QWidget* parent, const QWidget* dialog)
{
    std::vector<QWidget*> controls;
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisibleTo(dialog) && !child->isWindow()) {
            controls.push_back(child);
        }
    }
    return controls;
}

void expectTextFits(const QWidget* control)
{
    const QString text = textOf(control);
    if (text.isEmpty()) {
        return;
    }
    const QFontMetrics metrics = control->fontMetrics();
    if (qobject_cast<const QLabel*>(control) != nullptr) {
        EXPECT_GE(control->width(), metrics.horizontalAdvance(text)) << describe(control);
        EXPECT_GE(control->height(), metrics.height()) << describe(control);
    } else {
        EXPECT_GE(control->width(), control->sizeHint().width()) << describe(control);
    }
}

// Each control shows its whole text, lies inside its parent (below a group box's title) and
// overlaps none of its neighbours; the same for the contents of group boxes.
void expectLaidOut(QWidget* parent, const QWidget* dialog)
{
    const std::vector<QWidget*> controls = visibleControls(parent, dialog);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        expectTextFits(controls[i]);
        EXPECT_TRUE(freeArea(parent).contains(controls[i]->geometry()))
            << describe(controls[i]) << " outside " << describe(parent);
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << describe(controls[i]) << " overlaps " << describe(controls[j]);
        }
        if (qobject_cast<QGroupBox*>(controls[i]) != nullptr) {
            expectLaidOut(controls[i], dialog);
        }
    }
}

class ScaledDialogs : public ::testing::TestWithParam<std::tuple<Language, int>> {
  protected:
    TempHome home;
    RecordingHost recorder;
    FakeClock clock;
    Language language = std::get<0>(GetParam());
    int percent = std::get<1>(GetParam());
    ProgramTexts texts = shippedTexts(language.code);
    MessageBoxes messages{recorder, 1};
};

void PrintTo(const Language& language, std::ostream* out)
{
    *out << language.code;
}

std::string nameOf(const ::testing::TestParamInfo<std::tuple<Language, int>>& info)
{
    return std::string(std::get<0>(info.param).code) + "_" +
           std::to_string(std::get<1>(info.param));
}

}  // namespace

TEST_P(ScaledDialogs, RipperShowsItsWholeTextsWithoutOverlaps)
{
    const CdImage image =
        writeCdImage(home.path() + "/", QStringLiteral("disc"), {{true, 20, 440.0}});
    home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    CdioRipLibrary library;
    TEditTitleWizzard titles(percent, texts);
    TRipperForm ripper(&titles, percent, {library}, texts, recorder, clock);
    ripper.RipFolder = home.path() + "/";
    ripper.DriveComboBox->setCurrentIndex(
        ripper.DriveComboBox->findText(image.cuePath, Qt::MatchEndsWith));
    ripper.DriveComboBoxChange();
    ripper.Timer1Timer();
    ASSERT_TRUE(runToItsEnd(ripper));    // ends with the longest total, "Total 100%"
    ripper.CDRIP1Progress(nullptr, 99);  // the longest per-track text

    EXPECT_EQ(ripper.TotalLabel->text(), QStringLiteral("Total 100%"));
    expectLaidOut(&ripper, &ripper);
}

TEST_P(ScaledDialogs, CdNameShowsItsWholeTextsWithoutOverlaps)
{
    TranslationDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.setLanguage(QString::fromLatin1(language.table)));
    TCDNameForm dialog(&dispatcher, percent, messages);
    expectLaidOut(&dialog, &dialog);
}

TEST_P(ScaledDialogs, TitleShowsItsWholeTextsWithoutOverlaps)
{
    TEditTitleWizzard dialog(percent, texts);
    expectLaidOut(&dialog, &dialog);
}

INSTANTIATE_TEST_SUITE_P(EveryLanguageAndSize, ScaledDialogs,
                         ::testing::Combine(::testing::ValuesIn(kLanguages),
                                            ::testing::ValuesIn(kScalePercents)),
                         nameOf);

// The fonts grow with the dialog, once: a control inside a group box as much as one outside.
TEST(DialogFonts, GrowByTheEnlargementOnce)
{
    TempHome home;
    const CdImage image =
        writeCdImage(home.path() + "/", QStringLiteral("disc"), {{true, 20, 440.0}});
    home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    CdioRipLibrary library;
    FakeClock clock;
    RecordingHost recorder;
    const ProgramTexts texts = shippedTexts();
    for (const int percent : kScalePercents) {
        const TRipperForm ripper(nullptr, percent, {library}, texts, recorder, clock);
        const QWidget* controls[] = {&ripper, ripper.HelpGroupBox, ripper.Label1, ripper.TotalLabel,
                                     ripper.StartBitBtn};
        for (const QWidget* control : controls) {
            EXPECT_NEAR(control->font().pointSizeF(), 8.0 * percent / 100.0, 0.01)
                << percent << " " << describe(control);
        }
    }
}
