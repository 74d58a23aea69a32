#include "StartupFixture.h"
#include "support/MainFormControls.h"
#include "support/TabWalk.h"

#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "convert/Frequencies.h"
#include "convert/JobTexts.h"
#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "platform/NativePath.h"
#include "support/EngineProbe.h"
#include "support/Waiting.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <vector>

using namespace qvr;
using namespace qvr::test;

using MainForm = StartupFixture;

namespace {

// Shows the window and makes it the active one, so that keys reach the control with the focus.
void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

}  // namespace

TEST_F(MainForm, OpensWithTheDesignsMenuAndOnlyTheAddButtonsShowing)
{
    chooseLanguage("GERMAN");  // the design's texts
    auto form = start();
    form->show();
    EXPECT_FALSE(form->engine().running());
    EXPECT_EQ(form->engine().cdRun(), nullptr);
    EXPECT_EQ(form->engine().settings().frequency.TargetFrequency, 432.0);
    EXPECT_EQ(form->engine().settings().frequency.ReferencePitch, 440.0);
    EXPECT_EQ(form->engine().settings().frequency.FrequencyText, "432");
    EXPECT_TRUE(controls(*form).OpenFolderBitBtn->isVisible());
    EXPECT_TRUE(controls(*form).OpenFileBitBtn->isVisible());
    for (QWidget* hidden : {static_cast<QWidget*>(controls(*form).lvFiles),
                            static_cast<QWidget*>(controls(*form).ComboBox1),
                            static_cast<QWidget*>(controls(*form).ConvertBitBtn),
                            static_cast<QWidget*>(controls(*form).AbortBitBtn),
                            static_cast<QWidget*>(controls(*form).OutputFolderBitBtn),
                            static_cast<QWidget*>(controls(*form).ProgressLabel),
                            static_cast<QWidget*>(controls(*form).FehlerLabel),
                            static_cast<QWidget*>(controls(*form).ConvertMSGLabel)}) {
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    }
    EXPECT_FALSE(form->engine().ProgressTimer.isActive());
    EXPECT_EQ(form->engine().ProgressTimer.interval(), 50);
    EXPECT_EQ(form->engine().BlinkenTimer.interval(), 400);
    EXPECT_FALSE(form->engine().BlinkenTimer.isActive());

    QStringList topLevel;
    for (QAction* action : form->menuBar()->actions()) {
        topLevel << action->text();
    }
    EXPECT_EQ(topLevel, QStringList({"Datei", "Wissenswertes", "Skin", "Sprache", "Info"}));
    QStringList fileItems;
    for (QAction* action : controls(*form).mniProgramm1->actions()) {
        fileItems << action->objectName();
    }
    EXPECT_EQ(fileItems, QStringList({"OpenFolder1", "OpenFile1", "AusgabeOrdnerffnen1",
                                      "AusgabeOrdnerWaehlen1", "FilesAtOnce1", "mniBeenden1"}));
    ASSERT_EQ(controls(*form).SkinItems.size(), 10);
    EXPECT_EQ(controls(*form).SkinItems.last()->objectName(), "Skin101");
    EXPECT_EQ(controls(*form).SkinItems.last()->text(), "Skin 10");
    EXPECT_EQ(controls(*form).ComboBox1->count(), FrequencyCount());
    EXPECT_EQ(controls(*form).ComboBox1->currentIndex(), -1);
}

TEST_F(MainForm, RefusesToCloseDuringARun)
{
    auto form = start();
    form->show();
    EngineProbe::holdAsRunning(form->engine(), true);
    controls(*form).mniBeenden1->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->close());
    EngineProbe::holdAsRunning(form->engine(), false);
    controls(*form).mniBeenden1->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainForm, ShowingPlacesTheLabelsAtTheList)
{
    auto form = start();
    form->show();
    const QRect list = controls(*form).lvFiles->geometry();
    EXPECT_EQ(controls(*form).ProgressLabel->y(), list.y() + list.height() + 2);
    EXPECT_EQ(controls(*form).ConvertMSGLabel->x() + controls(*form).ConvertMSGLabel->width(),
              list.x() + list.width());
}

TEST_F(MainForm, TheSixteenByNineArgumentShapesTheWindow)
{
    auto form = start({"-169"});
    form->show();
    EXPECT_EQ(form->firstArgument(), "-169");
    EXPECT_EQ(form->resolutionClass(), "2160");
    EXPECT_EQ(form->height(), qRound(form->width() * 0.5625));
}

TEST_F(MainForm, LargeScreensScaleTheWindowAndTheColumns)
{
    auto form = start({}, 1080);
    EXPECT_EQ(form->scalePercent(), 129);
    const int widths[] = {490, 103, 374, 129, 116};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(controls(*form).lvFiles->columnWidth(column), widths[column]) << column;
    }
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->geometry(), QRect(41, 134, 166, 27));
    EXPECT_EQ(controls(*form).ComboBox1->y(), controls(*form).OpenFileBitBtn->y() + 1);
}

TEST_F(MainForm, SmallScreensKeepTheDesignSizes)
{
    auto form = start({}, 768);
    EXPECT_EQ(form->scalePercent(), 100);
    EXPECT_EQ(controls(*form).lvFiles->columnWidth(4), 110);
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->geometry(), QRect(32, 104, 129, 21));
}

TEST_F(MainForm, OpenFileTakesOnlyARegularFileOrALinkToOne)
{
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"real.wav", true},      {"link.flac", true},  // a link to real.wav
        {"pipe.wav", false},                           // a named pipe: opening it would wait
        {"dangling.mp3", false},                       // a link to nothing
        {"folder.mp3", false},                         // a folder
    };
    const QString music = home.path() + "/Music/";
    writeFile(music + "real.wav", "x");
    QDir().mkpath(music + "folder.mp3");
    ASSERT_TRUE(QFile::link(music + "real.wav", music + "link.flac"));
    ASSERT_TRUE(QFile::link(music + "gone.mp3", music + "dangling.mp3"));
    ASSERT_EQ(::mkfifo(toNativeBytes(music + "pipe.wav").c_str(), 0600), 0);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settleLanguage();
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.screenHeight = 768;
        environment.measureSpeed = [](const QString&) { return 40; };
        environment.chooseFile = [&](const QString&) { return music + c.name; };
        TMainFormQVR form(session, environment);
        recorder.messages.clear();
        controls(form).OpenFileBitBtn->click();
        if (c.accepted) {
            EXPECT_TRUE(recorder.messages.empty());
            ASSERT_EQ(form.files().rowCount(), 1);
            EXPECT_EQ(form.files().cellText(0, FileListModel::InputColumn), music + c.name);
        } else {
            ASSERT_EQ(recorder.messages.size(), 1u);
            EXPECT_EQ(recorder.messages[0].text, UnsupportedFileText(texts()));
            EXPECT_EQ(recorder.messages[0].kind, MessageKind::Information);
            EXPECT_EQ(form.files().rowCount(), 0);
        }
    }
}

// The desktop's opener ends with a failure when nothing opens the folder: the window says so,
// and the opener is reaped.
TEST_F(MainForm, AnOutputFolderNothingOpensIsReported)
{
    auto form = start();
    const QString bin = home.path() + "/bin/";
    QDir().mkpath(bin);
    writeFile(bin + "xdg-open",
              "#!/bin/sh\necho $$ > \"" + home.path().toUtf8() + "/opener\"\nexit 4\n");
    ::chmod(toNativeBytes(bin + "xdg-open").c_str(), 0755);
    home.setEnv("PATH", bin.toUtf8());

    const std::size_t before = recorder.messages.size();
    controls(*form).OutputFolderBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return recorder.messages.size() > before; }, 5000));
    EXPECT_EQ(recorder.messages.back().text, UnopenedFolderText(texts(), home.outputFolder()));
    EXPECT_TRUE(recorder.plainMessages.isEmpty());
    const QByteArray opener = readFile(home.path() + "/opener").trimmed();
    EXPECT_FALSE(QFile::exists("/proc/" + QString::fromLatin1(opener)));
}

// The window can be made smaller, but no control leaves it; it has no maximise box.
TEST_F(MainForm, TheSmallestWindowStillShowsEveryControl)
{
    for (const int screenHeight : {768, 2160}) {
        SCOPED_TRACE(screenHeight);
        auto form = start({}, screenHeight);
        form->show();
        const QSize started = form->size();
        EXPECT_LE(form->minimumWidth(), started.width());
        EXPECT_LE(form->minimumHeight(), started.height());
        form->resize(1, 1);
        QApplication::processEvents();
        const QRect window = form->rect();
        for (QWidget* control : std::initializer_list<QWidget*>{
                 controls(*form).ConvertBitBtn, controls(*form).AbortBitBtn,
                 controls(*form).OutputFolderBitBtn, controls(*form).OpenFolderBitBtn,
                 controls(*form).OpenFileBitBtn, controls(*form).RipCDBitBtn,
                 controls(*form).ComboBox1, controls(*form).FehlerLabel,
                 controls(*form).ProgressLabel}) {
            const QRect placed(control->mapTo(form.get(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(window.contains(placed)) << control->objectName().toStdString();
        }
        EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    }
}

// The menus and the controls are reached from the keyboard: F10 or Alt alone opens the menu
// bar, Tab leaves the list.
TEST_F(MainForm, TheKeyboardReachesTheMenusAndLeavesTheList)
{
    auto form = start();
    form->show();
    form->activateWindow();
    QApplication::processEvents();

    QMenuBar* bar = form->menuBar();
    const MainFormControls c = controls(*form);
    for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_F10}) {
        SCOPED_TRACE(key);
        c.OpenFolderBitBtn->setFocus();
        QTest::keyClick(c.OpenFolderBitBtn, key);
        ASSERT_NE(bar->activeAction(), nullptr);
        EXPECT_EQ(bar->activeAction()->menu(), c.mniProgramm1);
        QTest::keyClick(bar, Qt::Key_Escape);
        bar->setActiveAction(nullptr);
    }

    c.lvFiles->show();
    c.lvFiles->setFocus();
    QTest::keyClick(c.lvFiles, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), c.lvFiles);
}

// Alt held for a shortcut or released after another key leaves the menu bar closed.
TEST_F(MainForm, AltWithAnotherKeyDoesNotOpenTheMenuBar)
{
    auto form = start();
    showActive(*form);
    QPushButton* button = controls(*form).OpenFolderBitBtn;
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Alt);
    QTest::keyClick(button, Qt::Key_X, Qt::AltModifier);
    QTest::keyRelease(button, Qt::Key_Alt);
    EXPECT_EQ(form->menuBar()->activeAction(), nullptr);
}

// Tab walks the row of buttons from left to right and then the list; Shift+Tab walks back.
TEST_F(MainForm, TabWalksTheButtonsFromLeftToRightThenTheList)
{
    auto form = start();
    const MainFormControls c = controls(*form);
    // As during a run's preparation with a CD drive present: every control of the row shows.
    for (QWidget* control : std::initializer_list<QWidget*>{
             c.RipCDBitBtn, c.lvFiles, c.ComboBox1, c.ConvertBitBtn, c.OutputFolderBitBtn}) {
        control->show();
    }
    showActive(*form);
    const std::vector<QWidget*> order{c.OpenFolderBitBtn, c.OpenFileBitBtn, c.RipCDBitBtn,
                                      c.ComboBox1,        c.ConvertBitBtn,  c.OutputFolderBitBtn,
                                      c.lvFiles};
    expectTabWalks(order);
}

// On a large screen the menu bar and its menus grow by the same percentage as the controls.
TEST_F(MainForm, LargeScreensScaleTheMenus)
{
    const auto small = start({}, 768);
    const auto large = start({}, 2160);
    ASSERT_EQ(large->scalePercent(), 164);
    EXPECT_DOUBLE_EQ(large->menuBar()->font().pointSizeF(),
                     small->menuBar()->font().pointSizeF() * 1.64);
    EXPECT_DOUBLE_EQ(controls(*large).mniProgramm1->font().pointSizeF(),
                     controls(*small).mniProgramm1->font().pointSizeF() * 1.64);
}
