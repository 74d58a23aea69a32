// Tab walks each CD dialog's usable controls from top to bottom and left to right, and Shift+Tab
// walks them back.

#include "CdImage.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "cdrip/fWizardEditTitle.h"
#include "lang/MessageBoxes.h"
#include "lang/TranslationDispatcher.h"
#include "support/FakeClock.h"
#include "support/RecordingHost.h"
#include "support/ShippedTexts.h"
#include "support/TabWalk.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace qvr;
using namespace qvr::test;

namespace {

class DialogTabOrder : public ::testing::Test {
  protected:
    TempHome home;
    RecordingHost recorder;
    MessageBoxes messages{recorder, 1};
    TranslationDispatcher dispatcher;
    ProgramTexts texts = shippedTexts();
    FakeClock clock;
    CdioRipLibrary library;
    TEditTitleWizzard titles{100, texts};

    // The ripper with a disc of two tracks read, so that every control of it can be used.
    std::unique_ptr<TRipperForm> openRipperOnADisc()
    {
        const CdImage image =
            writeCdImage(home.path() + QStringLiteral("/"), QStringLiteral("disc"),
                         std::vector<ImageTrack>(2, {true, 20, 440.0}));
        home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
        auto form = std::make_unique<TRipperForm>(&titles, 100, CdLibraries{library}, texts,
                                                  recorder, clock);
        form->DriveComboBox->setCurrentIndex(
            form->DriveComboBox->findText(image.cuePath, Qt::MatchEndsWith));
        form->DriveComboBoxChange();
        form->Timer1Timer();
        form->CheckListBox1->setCurrentRow(0);
        return form;
    }
};

// The controls a user can reach, in the order given: disabled ones are passed over by Tab.
std::vector<QWidget*> reachable(const QWidget& dialog, const std::vector<const char*>& names)
{
    std::vector<QWidget*> controls;
    for (const char* name : names) {
        QWidget* control = dialog.findChild<QWidget*>(QLatin1String(name));
        if (control == nullptr) {
            ADD_FAILURE() << "no control " << name;
        } else if (control->isEnabled() && control->isVisible()) {
            controls.push_back(control);
        }
    }
    return controls;
}

void expectTabWalks(QWidget& dialog, const std::vector<const char*>& names)
{
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    qvr::test::expectTabWalks(reachable(dialog, names));
}

}  // namespace

TEST_F(DialogTabOrder, TabWalksTheControlsTopToBottomAndLeftToRight)
{
    const struct {
        const char* dialog;
        std::function<std::unique_ptr<QWidget>()> open;
        std::vector<const char*> order;
    } cases[] = {
        {"CD name",
         [&] { return std::make_unique<TCDNameForm>(&dispatcher, 100, messages); },
         {"Edit1", "ComboBox1", "AbortBitBtn", "BitBtn1"}},
        {"edit title",
         [&] { return std::make_unique<TEditTitleWizzard>(100, texts); },
         {"Edit1", "AbortBitBtn", "WeiterBitBtn"}},
        {"ripper",
         [&] { return openRipperOnADisc(); },
         {"DriveComboBox", "ChooseAllBitBtn", "UnChooseAllBitBtn", "CheckListBox1",
          "ChangeTitleBitBtn", "StartBitBtn", "AbortBitBtn"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        const std::unique_ptr<QWidget> dialog = c.open();
        expectTabWalks(*dialog, c.order);
        dialog->hide();
    }
}
