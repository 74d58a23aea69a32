// The three dialogs of the CD path share one look and one keyboard: the skin's gradient, taken
// at each showing, and Enter and Escape that do nothing.

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
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <functional>
#include <memory>

using namespace qvr;
using namespace qvr::test;

namespace {

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 &&
           std::abs(a.blue() - b.blue()) <= 6;
}

class SkinnedDialogs : public ::testing::Test {
  protected:
    TempHome home;
    RecordingHost recorder;
    MessageBoxes messages{recorder, 1};
    ProgramTexts texts = shippedTexts();
    FakeClock clock;
    TranslationDispatcher dispatcher;
    std::unique_ptr<CdioRipLibrary> library;

    void SetUp() override
    {
        const CdImage image =
            writeCdImage(home.path() + "/", QStringLiteral("disc"), {{true, 20, 440.0}});
        home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
        library = std::make_unique<CdioRipLibrary>();
    }

    std::vector<std::pair<const char*, std::unique_ptr<SkinnedDialog>>> everyDialog()
    {
        std::vector<std::pair<const char*, std::unique_ptr<SkinnedDialog>>> dialogs;
        dialogs.emplace_back("CD name", std::make_unique<TCDNameForm>(&dispatcher, 100, messages));
        dialogs.emplace_back("title", std::make_unique<TEditTitleWizzard>(100, texts));
        dialogs.emplace_back(
            "ripper", std::make_unique<TRipperForm>(nullptr, 100, CdLibraries{*library}, texts,
                                                    recorder, clock));
        return dialogs;
    }
};

}  // namespace

TEST_F(SkinnedDialogs, ShowTheSkinsGradientAndIgnoreEnterAndEscape)
{
    DialogColours skin{QColor(255, 255, 255), QColor(83, 100, 169)};
    for (auto& [name, dialog] : everyDialog()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dialog->gradientEnd(), QColor(249, 249, 249));  // the first skin's until shown
        dialog->followColours(skin);
        dialog->show();
        EXPECT_EQ(dialog->gradientStart(), skin.start);
        const QImage shown = dialog->grab().toImage();
        EXPECT_TRUE(near(shown.pixelColor(2, 0), skin.start));
        EXPECT_TRUE(near(shown.pixelColor(2, shown.height() - 1), skin.end));
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(dialog.get(), &press);
            EXPECT_TRUE(dialog->isVisible()) << key;
        }
        dialog->hide();
        skin.end = QColor(19, 75, 135);  // another skin chosen while it was hidden
        dialog->show();
        EXPECT_EQ(dialog->gradientEnd(), QColor(19, 75, 135));
        skin.end = QColor(83, 100, 169);
    }
}
