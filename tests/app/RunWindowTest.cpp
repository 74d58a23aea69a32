#include "StartupFixture.h"
#include "support/MainFormControls.h"
#include "support/Waiting.h"

#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "convert/JobTexts.h"
#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "platform/NativePath.h"
#include "support/Audio.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <sys/stat.h>

using namespace qvr;
using namespace qvr::test;

namespace {

// Which controls a person could use, and what shows.
struct WindowLook {
    bool convertShown, abortShown, openFolder, openFile, chooser, outputFolder;
    bool fileMenu, infoMenu, skinMenu, aboutMenu, noteShown, countShown;
    bool operator==(const WindowLook&) const = default;
};

WindowLook lookOf(TMainFormQVR& form)
{
    return {controls(form).ConvertBitBtn->isVisible(),
            controls(form).AbortBitBtn->isVisible(),
            controls(form).OpenFolderBitBtn->isEnabled(),
            controls(form).OpenFileBitBtn->isEnabled(),
            controls(form).ComboBox1->isEnabled(),
            controls(form).OutputFolderBitBtn->isEnabled(),
            controls(form).mniProgramm1->menuAction()->isEnabled(),
            controls(form).Wissenswertes1->menuAction()->isEnabled(),
            controls(form).Skin1->menuAction()->isEnabled(),
            controls(form).mniInfo1->menuAction()->isEnabled(),
            controls(form).ConvertMSGLabel->isVisible(),
            controls(form).ProgressLabel->isVisible()};
}

}  // namespace

class RunWindow : public StartupFixture {
  protected:
    QString music = home.path() + "/Music/";

    std::unique_ptr<TMainFormQVR> startWithFolder(const QString& folder)
    {
        settleLanguage();
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.screenHeight = 768;
        environment.measureSpeed = [](const QString&) { return 20; };
        environment.chooseFolder = [folder](const QString& suggested) {
            return folder + suggested;
        };
        environment.chooseFile = [folder] { return folder + "notes.txt"; };
        auto form = std::make_unique<TMainFormQVR>(session, environment);
        form->show();
        return form;
    }

    // A window over a folder of two short tones, with the real tools in the work folder.
    std::unique_ptr<TMainFormQVR> startWithTwoTones()
    {
        QDir().mkpath(music);
        writeToneWav(music + "a.wav", 440.0, 0.5);
        writeToneWav(music + "b.wav", 440.0, 0.5);
        auto form = startWithFolder(music);
        test::installRealTools(home.workFolder());
        return form;
    }

    // Picks a frequency as a person does: the chooser has the focus and Down walks its list.
    static void chooseFrequency(TMainFormQVR& form, int index)
    {
        controls(form).ComboBox1->setFocus();
        while (controls(form).ComboBox1->currentIndex() < index) {
            QTest::keyClick(controls(form).ComboBox1, Qt::Key_Down);
        }
    }

    // Lists the folder's files (not its subfolders) and picks 432 Hz.
    void listFolderAt432(TMainFormQVR& form)
    {
        recorder.answerNext(MessageButton::No);
        controls(form).OpenFolderBitBtn->click();
        chooseFrequency(form, 4);
    }
};

TEST_F(RunWindow, OpenFolderListsTheFilesWithoutOutputsUntilAFrequencyIsChosen)
{
    writeFile(music + "b.wav", "x");
    writeFile(music + "a.MP3", "x");
    writeFile(music + "notes.txt", "x");
    writeFile(music + "sub/c.flac", "x");
    auto form = startWithFolder(music);
    recorder.answerNext(MessageButton::No);
    controls(*form).OpenFolderBitBtn->click();

    EXPECT_EQ(recorder.messages.back().text, texts().text(10000));
    EXPECT_EQ(recorder.messages.back().kind, MessageKind::Confirmation);
    ASSERT_EQ(form->files().rowCount(), 2);
    EXPECT_EQ(form->files().cellText(0, FileListModel::InputColumn), music + "a.MP3");
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(form->files().cellText(row, FileListModel::OutputColumn), "");
        EXPECT_EQ(form->files().cellText(row, FileListModel::TimeColumn), "-");
        EXPECT_EQ(form->files().cellText(row, FileListModel::StatusColumn), "-");
    }
    for (QWidget* shown : std::initializer_list<QWidget*>{
             controls(*form).lvFiles, controls(*form).ComboBox1, controls(*form).ConvertBitBtn,
             controls(*form).OutputFolderBitBtn}) {
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    }
    EXPECT_EQ(controls(*form).ComboBox1->currentIndex(), -1);
    EXPECT_EQ(controls(*form).ComboBox1->placeholderText(), "- Please select -");

    chooseFrequency(*form, 4);
    EXPECT_EQ(form->files().cellText(0, FileListModel::OutputColumn), "a-432 Hz.mp3");

    recorder.answerNext(MessageButton::Yes);
    controls(*form).OpenFolder1->trigger();
    EXPECT_EQ(form->files().rowCount(), 3);
    EXPECT_EQ(form->files().cellText(0, FileListModel::OutputColumn), "");
}

TEST_F(RunWindow, OpenFileRefusesAFileThatCannotBeConverted)
{
    writeFile(music + "a.wav", "x");
    auto form = startWithFolder(music);
    recorder.answerNext(MessageButton::No);
    controls(*form).OpenFolderBitBtn->click();
    for (const auto& openFile : std::initializer_list<std::function<void()>>{
             [&] { controls(*form).OpenFileBitBtn->click(); },
             [&] { controls(*form).OpenFile1->trigger(); }}) {
        openFile();  // the chooser answers notes.txt
        EXPECT_EQ(recorder.messages.back().text, UnsupportedFileText(texts()));
        ASSERT_EQ(form->files().rowCount(), 1);
        EXPECT_EQ(form->files().cellText(0, FileListModel::InputColumn), music + "a.wav");
    }
}

TEST_F(RunWindow, ARunLocksTheWindowAndTheEndUnlocksIt)
{
    auto form = startWithTwoTones();
    listFolderAt432(*form);
    const WindowLook idle = lookOf(*form);
    EXPECT_EQ(idle, (WindowLook{true, false, true, true, true, true, true, true, true, true, false,
                                false}));

    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    WindowLook during = lookOf(*form);
    during.noteShown = false;  // it blinks
    const bool closedDuringRun = form->close();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    EXPECT_EQ(during, (WindowLook{false, true, false, false, false, false, false, false, false,
                                  false, false, true}));
    EXPECT_FALSE(closedDuringRun);
    EXPECT_EQ(lookOf(*form), idle);
    EXPECT_EQ(recorder.messages.back().text, texts().text(10002));
    EXPECT_EQ(form->files().cellText(1, FileListModel::StatusColumn), texts().text(505));
    EXPECT_FALSE(form->engine().running());
    EXPECT_TRUE(form->close());
}

TEST_F(RunWindow, ConvertWithoutAFrequencyChangesNothing)
{
    writeFile(music + "a.wav", "x");
    auto form = startWithFolder(music);
    recorder.answerNext(MessageButton::No);
    controls(*form).OpenFolderBitBtn->click();
    const WindowLook before = lookOf(*form);
    controls(*form).ConvertBitBtn->click();
    EXPECT_EQ(recorder.messages.back().text, texts().text(10001));
    EXPECT_EQ(lookOf(*form), before);
}

TEST_F(RunWindow, AbortEndsTheRunningToolAndUnlocksTheWindow)
{
    auto form = startWithTwoTones();
    // A stretch that says it has started and never ends by itself.
    const QString stretch = home.workFolder() + "soundstretch.exe";
    const QString started = home.path() + "/stretching";
    QFile::remove(stretch);
    writeFile(stretch,
              "#!/bin/sh\ntouch '" + started.toUtf8() + "'\nwhile :; do sleep 0.05; done\n");
    ::chmod(toNativeBytes(stretch).c_str(), 0755);
    listFolderAt432(*form);
    const WindowLook idle = lookOf(*form);

    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(started); }, 30'000));
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 10'000));

    EXPECT_FALSE(form->engine().Processes.anyRunning());
    EXPECT_EQ(form->files().cellText(0, FileListModel::StatusColumn), texts().text(510));
    EXPECT_EQ(recorder.messages.back().text, texts().text(10003));
    EXPECT_EQ(lookOf(*form), idle);
    QDirIterator outputs(home.documents() + "Quorvane", QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
    EXPECT_FALSE(outputs.hasNext()) << outputs.next().toStdString();
}
