#include "StartupFixture.h"
#include "support/MainFormControls.h"
#include "support/Waiting.h"

#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "convert/JobTexts.h"
#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "platform/DesktopNotifier.h"
#include "platform/NativePath.h"
#include "support/Audio.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <map>

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

// Writes down what the window told the desktop, and how many message boxes had been shown by
// then.
struct RecordingNotifier : DesktopNotifier {
    explicit RecordingNotifier(const RecordingHost& host) : host_(host) {}
    struct Notice {
        QString summary, body;
        std::size_t boxesBefore;
    };
    std::vector<Notice> notices;
    std::vector<std::pair<double, bool>> progress;

    void notify(const QString& summary, const QString& body) override
    {
        notices.push_back({summary, body, host_.messages.size()});
    }
    void showTaskProgress(double value, bool visible) override
    {
        progress.emplace_back(value, visible);
    }

  private:
    const RecordingHost& host_;
};

}  // namespace

// A test clock that moves one millisecond per round of a wait's timer: a pause takes as many
// rounds as it lasts, a tool that ends at once is answered by its end before any round.
class RoundCountingClock : public Clock {
  public:
    Milliseconds now() const override { return now_; }
    Milliseconds roundInterval(Milliseconds) const override
    {
        now_ += Milliseconds(1);
        return Milliseconds(1);
    }

  private:
    mutable Milliseconds now_{1'000'000};
};

class RunWindow : public StartupFixture {
  protected:
    QString music = home.path() + "/Music/";
    RecordingNotifier notifier{recorder};
    const Clock* clock = nullptr;  // null: the steady clock

    std::unique_ptr<TMainFormQVR> startWithFolder(const QString& folder)
    {
        settleLanguage();
        return startWindow(session, folder);
    }

    // The folder the last open dialog started in, and the folder the output chooser answers.
    QString dialogStart = "(no dialog)";
    QString chosenOutput = home.path() + "/Copies";

    std::unique_ptr<TMainFormQVR> startWindow(AppSession& in, const QString& folder)
    {
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.screenHeight = 768;
        environment.measureSpeed = [](const QString&) { return 20; };
        environment.chooseFolder = [this, folder](const QString& suggested, const QString& start) {
            dialogStart = start;
            return folder + suggested;
        };
        environment.chooseFile = [this, folder](const QString& start) {
            dialogStart = start;
            return folder + "notes.txt";
        };
        environment.chooseOutputFolder = [this](const QString&) { return chosenOutput; };
        environment.notifier = &notifier;
        environment.clock = clock;
        auto form = std::make_unique<TMainFormQVR>(in, environment);
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

    // A stretch that says it has started and never ends by itself; answers the file it touches.
    QString installHangingStretch()
    {
        const QString stretch = home.workFolder() + "soundstretch.exe";
        const QString started = home.path() + "/stretching";
        QFile::remove(stretch);
        QFile::remove(started);
        writeFile(stretch,
                  "#!/bin/sh\ntouch '" + started.toUtf8() + "'\nwhile :; do sleep 0.05; done\n");
        ::chmod(toNativeBytes(stretch).c_str(), 0755);
        return started;
    }

    // The work files in the work folder and in the folders of jobs side by side.
    QStringList workFilesLeft() const
    {
        QStringList folders{home.workFolder()};
        for (const QString& job : QDir(home.workFolder()).entryList({"job*"}, QDir::Dirs)) {
            folders << home.workFolder() + job + "/";
        }
        QStringList left;
        for (const QString& folder : folders) {
            for (const char* name : {"input.wav", "output.wav", "error.txt", "progress.txt",
                                     "progress_zum_lesen.txt"}) {
                if (QFile::exists(folder + name)) {
                    left << folder + name;
                }
            }
        }
        return left;
    }

    QStringList outputsLeft() const
    {
        QStringList left;
        QDirIterator outputs(home.documents() + "Quorvane", QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
        while (outputs.hasNext()) {
            left << outputs.next();
        }
        return left;
    }

    // Chooses how many files a run converts at once, as a person does in the File menu.
    static void chooseJobs(TMainFormQVR& form, int jobs)
    {
        const QByteArray name = "Jobs" + QByteArray::number(jobs);
        auto* item = findControl<QAction>(form, name.constData());
        ASSERT_NE(item, nullptr);
        item->trigger();
    }

    // A stretch that notes how many stretches have started by the time it has waited (a
    // bounded while) for a second one: one after the other, the first sees itself alone.
    QString installCountingStretch()
    {
        const QString stretch = home.workFolder() + "soundstretch.exe";
        const QByteArray folder = (home.path() + "/stretches").toUtf8();
        QDir().mkpath(home.path() + "/stretches");
        QFile::remove(stretch);
        writeFile(stretch, "#!/bin/sh\nD='" + folder + "'\nREAL='" +
                               RealToolPath("soundstretch.exe").toUtf8() +
                               "'\ntouch \"$D/running.$$\"\ni=0\n"
                               "while n=$(ls \"$D\" | grep -c '^running') && "
                               "[ $n -lt 2 ] && [ $i -lt 100 ]; do sleep 0.02; i=$((i+1)); done\n"
                               "echo $n >> \"$D/seen\"\n"
                               "exec \"$REAL\" \"$@\"\n");
        ::chmod(toNativeBytes(stretch).c_str(), 0755);
        return home.path() + "/stretches/seen";
    }

    // An xdg-open that writes down each folder it is asked to open and ends with `status`;
    // answers the file it writes to.
    QString installOpener(int status)
    {
        const QString bin = home.path() + "/bin/";
        const QString record = home.path() + "/opened";
        writeFile(bin + "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record.toUtf8() +
                                        "'\nexit " + QByteArray::number(status) + "\n");
        ::chmod(toNativeBytes(bin + "xdg-open").c_str(), 0755);
        home.setEnv("PATH", bin.toUtf8() + ':' + qgetenv("PATH"));
        return record;
    }

    static QStringList linesOf(const QString& file)
    {
        return QString::fromUtf8(readFile(file)).split(u'\n', Qt::SkipEmptyParts);
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

    // A new list keeps the frequency chosen.
    recorder.answerNext(MessageButton::Yes);
    controls(*form).OpenFolder1->trigger();
    EXPECT_EQ(form->files().rowCount(), 3);
    EXPECT_EQ(controls(*form).ComboBox1->currentIndex(), 4);
    EXPECT_EQ(form->files().cellText(0, FileListModel::OutputColumn), "a-432 Hz.mp3");
}

// Copies go below the folder chosen in the window, in the "{N} Hz" folder and the source's
// folder below it; the end names the folder holding them and its button opens it, as Open
// Output Folder does after the run.
TEST_F(RunWindow, TheChosenOutputFolderTakesTheCopiesAndTheEndOpensTheirFolder)
{
    const QString opened = installOpener(0);
    auto form = startWithTwoTones();
    controls(*form).OutputFolderBitBtn->click();  // before any run: the output folder itself
    ASSERT_TRUE(waitForEvents([&] { return linesOf(opened).size() == 1; }, 5000));
    EXPECT_EQ(linesOf(opened), QStringList{home.outputFolder()});

    auto* choose = form->findChild<QAction*>("AusgabeOrdnerWaehlen1");
    ASSERT_NE(choose, nullptr);
    EXPECT_EQ(choose->text(), texts().text(10023));
    choose->trigger();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    recorder.answerNext(MessageButton::Yes);  // the end message's Open folder
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    const QString folder = chosenOutput + "/432 Hz" + QDir::cleanPath(music) + "/";
    for (const char* name : {"a-432 Hz.wav", "b-432 Hz.wav"}) {
        const AudioFacts facts = DecodeAudio(folder + name);
        EXPECT_TRUE(facts.complete) << name;
        EXPECT_NEAR(facts.seconds, 0.5 * 440.0 / 432.0, 0.05) << name;
    }
    EXPECT_TRUE(outputsLeft().isEmpty()) << outputsLeft().join(' ').toStdString();
    const MessageBoxRequest& end = recorder.messages.back();
    EXPECT_EQ(end.text, texts().text(10002) + "\n\n" + RunFolderText(texts(), folder));
    EXPECT_TRUE(end.text.contains(folder));
    EXPECT_TRUE(std::any_of(end.buttons.begin(), end.buttons.end(), [&](const auto& button) {
        return button.caption == texts().text(10021);
    }));
    ASSERT_TRUE(waitForEvents([&] { return linesOf(opened).size() == 2; }, 5000));
    EXPECT_EQ(linesOf(opened).value(1), folder);

    controls(*form).OutputFolderBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return linesOf(opened).size() == 3; }, 5000));
    EXPECT_EQ(linesOf(opened).value(2), folder);
}

// Without a file manager the end and Open Output Folder name the folder, so it can be copied.
TEST_F(RunWindow, AFolderNothingOpensIsNamed)
{
    installOpener(3);
    auto form = startWithTwoTones();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    recorder.answerNext(MessageButton::Yes);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));
    const QString folder = home.outputFolder() + "432 Hz" + QDir::cleanPath(music) + "/";
    ASSERT_TRUE(waitForEvents(
        [&] { return recorder.messages.back().text == UnopenedFolderText(texts(), folder); },
        5000));
    EXPECT_TRUE(recorder.messages.back().text.contains(folder));
    EXPECT_EQ(recorder.messages.back().kind, MessageKind::Warning);
    EXPECT_TRUE(recorder.plainMessages.isEmpty());
}

// Size and place, the last folder, the frequency and the output folder are there again after a
// restart, kept in the settings place of the (test's) home.
TEST_F(RunWindow, TheWindowsSettingsSurviveARestart)
{
    writeFile(music + "a.wav", "x");
    auto form = startWithFolder(music);
    EXPECT_EQ(dialogStart, "(no dialog)");
    form->findChild<QAction*>("AusgabeOrdnerWaehlen1")->trigger();
    listFolderAt432(*form);
    chooseFrequency(*form, 6);
    EXPECT_EQ(dialogStart, "");
    const QSize size = form->size() + QSize(40, 30);
    form->resize(size);
    form->move(20, 10);
    const QPoint place = form->pos();
    ASSERT_TRUE(form->close());
    form.reset();
    EXPECT_TRUE(QFile::exists(home.path() + "/.config/Dornevik/Quorvane.conf"));

    AppSession restarted{recorder, 1};
    restarted.settleLanguage(home.dataHome(), programFolder);
    auto again = startWindow(restarted, music);
    EXPECT_EQ(again->size(), size);
    EXPECT_EQ(again->pos(), place);
    EXPECT_EQ(again->engine().settings().paths.outputRoot(), chosenOutput + "/");
    recorder.answerNext(MessageButton::No);
    controls(*again).OpenFolderBitBtn->click();
    EXPECT_EQ(dialogStart, music);
    EXPECT_EQ(controls(*again).ComboBox1->currentIndex(), 6);
    EXPECT_EQ(again->files().cellText(0, FileListModel::OutputColumn), "a-639 Hz.wav");
    EXPECT_EQ(again->engine().settings().frequency.FrequencyText, "639");
    controls(*again).OpenFileBitBtn->click();
    EXPECT_EQ(dialogStart, music);
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
    during.noteShown = false;                // it blinks
    recorder.answerNext(MessageButton::No);  // to the question whether to abort and quit
    const bool closedDuringRun = form->close();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    EXPECT_EQ(during, (WindowLook{false, true, false, false, false, false, false, false, false,
                                  false, false, true}));
    EXPECT_FALSE(closedDuringRun);
    EXPECT_EQ(lookOf(*form), idle);
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10002)));
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
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10003)));
    EXPECT_EQ(lookOf(*form), idle);
    QDirIterator outputs(home.documents() + "Quorvane", QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
    EXPECT_FALSE(outputs.hasNext()) << outputs.next().toStdString();
}

// What the rows showed after one run is gone when the next one starts, also after an Abort: rows
// not reached yet wait with "-", no time and an empty bar.
TEST_F(RunWindow, EachRunStartsFromWaitingRows)
{
    auto form = startWithTwoTones();
    chooseJobs(*form, 1);
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));
    ASSERT_EQ(form->files().cellText(1, FileListModel::StatusColumn), texts().text(505));

    auto waiting = [&](int row) {
        return QStringList{form->files().cellText(row, FileListModel::TimeColumn),
                           form->files().cellText(row, FileListModel::ProgressColumn),
                           form->files().cellText(row, FileListModel::StatusColumn)};
    };
    const QStringList kWaiting{"-", "0", "-"};
    const QString started = installHangingStretch();
    controls(*form).ConvertBitBtn->click();
    EXPECT_EQ(waiting(1), kWaiting);
    EXPECT_EQ(form->files().cellText(0, FileListModel::TimeColumn), "-");
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(started); }, 30'000));
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 2; }, 10'000));
    ASSERT_EQ(form->files().cellText(0, FileListModel::StatusColumn), texts().text(510));
    EXPECT_EQ(waiting(1), kWaiting);

    QFile::remove(started);
    controls(*form).ConvertBitBtn->click();
    EXPECT_NE(form->files().cellText(0, FileListModel::StatusColumn), texts().text(510));
    EXPECT_EQ(waiting(1), kWaiting);
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(started); }, 30'000));
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 3; }, 10'000));
}

// Closing during a run asks first: No keeps the run going, Yes ends it as Abort does, leaves no
// tool, unfinished output or work file behind and closes the window without an end message.
TEST_F(RunWindow, ClosingDuringARunAsksAndYesAbortsCleansUpAndCloses)
{
    auto form = startWithTwoTones();
    const QString started = installHangingStretch();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(started); }, 30'000));

    recorder.answerNext(MessageButton::No);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(recorder.messages.back().text, texts().text(534));
    EXPECT_EQ(recorder.messages.back().kind, MessageKind::Confirmation);
    QTest::qWait(100);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->engine().running());
    EXPECT_TRUE(form->engine().Processes.anyRunning());

    recorder.answerNext(MessageButton::Yes);
    const std::size_t boxes = recorder.messages.size();
    controls(*form).mniBeenden1->trigger();
    ASSERT_TRUE(waitForEvents([&] { return !form->isVisible(); }, 10'000));
    EXPECT_EQ(runs.count(), 1);
    EXPECT_EQ(recorder.messages.size(), boxes + 1);  // the question, no end message
    EXPECT_EQ(recorder.messages.back().text, texts().text(534));
    EXPECT_FALSE(form->engine().Processes.anyRunning());
    EXPECT_EQ(workFilesLeft(), QStringList());
    EXPECT_EQ(outputsLeft(), QStringList());
}

// A run's end reaches a person in another program: the task bar shows the share of rows done
// while it runs, and a notification with the counts comes before the end message.
TEST_F(RunWindow, TheEndOfARunIsNotifiedWithItsCountsAndTheTaskBarShowsProgress)
{
    auto form = startWithTwoTones();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    const std::size_t boxes = recorder.messages.size();
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    const std::vector<std::pair<double, bool>> expected{
        {0.0, true}, {0.5, true}, {1.0, true}, {1.0, false}};
    EXPECT_EQ(notifier.progress, expected);
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].summary, texts().text(10002));
    EXPECT_EQ(notifier.notices[0].body, "Converted: 2, not converted: 0");
    EXPECT_EQ(notifier.notices[0].boxesBefore, boxes);
    EXPECT_EQ(recorder.messages.size(), boxes + 1);
}

// An aborted run is told as aborted, with the rows it did not reach counted as not converted.
TEST_F(RunWindow, AnAbortedRunIsNotifiedAsAborted)
{
    auto form = startWithTwoTones();
    const QString started = installHangingStretch();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(started); }, 30'000));
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 10'000));
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].summary, texts().text(10003));
    EXPECT_EQ(notifier.notices[0].body, "Converted: 0, not converted: 2");
    ASSERT_FALSE(notifier.progress.empty());
    EXPECT_FALSE(notifier.progress.back().second);
}

// The language may change during a run: the counter keeps its count, in the new language, and
// the row in its step speaks the new language.
TEST_F(RunWindow, SwitchingTheLanguageDuringARunKeepsTheCounter)
{
    auto form = startWithTwoTones();
    const QString started = installHangingStretch();
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    // Both files run at once: the first row's stretch may start after the second's.
    ASSERT_TRUE(waitForEvents(
        [&] {
            return QFile::exists(started) &&
                   form->files().cellText(0, FileListModel::StatusColumn) ==
                       "Calc. Solfeggio Freq.";
        },
        30'000));
    const QString count = controls(*form).ProgressLabel->text();
    ASSERT_TRUE(count.endsWith(" / 2 files")) << count.toStdString();

    findControl<QAction>(*form, "SpracheEspanol1")->trigger();
    EXPECT_EQ(controls(*form).ProgressLabel->text(), form->engine().RunCountText());
    EXPECT_TRUE(controls(*form).ProgressLabel->text().endsWith(" / 2 " + texts().text(506)));
    EXPECT_TRUE(controls(*form).ProgressLabel->isVisible());
    EXPECT_EQ(form->files().cellText(0, FileListModel::StatusColumn), texts().text(532));
    EXPECT_EQ(controls(*form).AbortBitBtn->text(), "Cancelar");

    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 10'000));
}

// Several files run side by side: with two files at once chosen, two stretches run together.
TEST_F(RunWindow, TwoFilesAtOnceRunTwoStretchesTogether)
{
    auto form = startWithTwoTones();
    const QString seen = installCountingStretch();
    listFolderAt432(*form);
    chooseJobs(*form, 2);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    EXPECT_EQ(QString::fromUtf8(readFile(seen)).split('\n', Qt::SkipEmptyParts),
              QStringList({"2", "2"}));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(form->files().cellText(row, FileListModel::StatusColumn), texts().text(505));
        EXPECT_EQ(form->files().cellText(row, FileListModel::ProgressColumn), "100");
    }
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10002)));
}

// Starting a tool waits until it runs: the jobs start one per turn of the event loop, so the
// window repaints and takes a click on Abort between the starts, and an aborted run starts no
// more jobs.
TEST_F(RunWindow, JobsStartOnePerTurnAndAbortBetweenThemStartsNoMore)
{
    auto form = startWithTwoTones();
    installHangingStretch();
    listFolderAt432(*form);
    chooseJobs(*form, 2);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    const QString waiting = form->files().cellText(1, FileListModel::StatusColumn);
    controls(*form).ConvertBitBtn->click();

    // The row of the job started last is the one shown.
    EXPECT_EQ(controls(*form).lvFiles->currentIndex().row(), 0);
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 10'000));

    EXPECT_EQ(form->files().cellText(0, FileListModel::StatusColumn), texts().text(510));
    EXPECT_EQ(form->files().cellText(1, FileListModel::StatusColumn), waiting);
    EXPECT_FALSE(form->engine().Processes.anyRunning());
    EXPECT_EQ(workFilesLeft(), QStringList());
}

// The choice is kept for the next start, and a run of one file at a time still converts.
TEST_F(RunWindow, FilesAtOnceIsKeptForTheNextStart)
{
    {
        auto form = startWithFolder(music);
        chooseJobs(*form, 3);
    }
    auto form = startWithTwoTones();
    auto* three = findControl<QAction>(*form, "Jobs3");
    auto* one = findControl<QAction>(*form, "Jobs1");
    ASSERT_TRUE(three != nullptr && one != nullptr);
    EXPECT_TRUE(three->isChecked());
    EXPECT_FALSE(one->isChecked());
    chooseJobs(*form, 1);
    listFolderAt432(*form);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));
    EXPECT_EQ(form->engine().settings().jobs, 1);
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10002)));
}

// No step waits a fixed time: four short files whose tools end at once take far less on the
// test clock than the pauses between steps would (one second after each stretch alone).
TEST_F(RunWindow, StepsGoOnWhenTheirToolsHaveEndedWithoutFixedPauses)
{
    RoundCountingClock testClock;
    clock = &testClock;
    QDir().mkpath(music);
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        writeToneWav(music + name, 440.0, 0.2);
    }
    auto form = startWithFolder(music);
    test::installRealTools(home.workFolder());
    listFolderAt432(*form);
    chooseJobs(*form, 1);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    const Milliseconds start = testClock.now();
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));

    EXPECT_LT((testClock.now() - start).count(), 2'000);
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10002)));
}

// Abort ends every running job at once: no tool runs on, and neither an unfinished output nor
// a work file of any job is left.
TEST_F(RunWindow, AbortDuringTwoRunningJobsEndsBothAndCleansUp)
{
    auto form = startWithTwoTones();
    const QString started = installHangingStretch();
    listFolderAt432(*form);
    chooseJobs(*form, 2);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents(
        [&] {
            return QFile::exists(started) &&
                   form->files().cellText(1, FileListModel::StatusColumn) == texts().text(532);
        },
        30'000));
    controls(*form).AbortBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 10'000));

    EXPECT_FALSE(form->engine().Processes.anyRunning());
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(form->files().cellText(row, FileListModel::StatusColumn), texts().text(510));
    }
    EXPECT_EQ(recorder.messages.back().text, texts().text(10003));
    EXPECT_EQ(workFilesLeft(), QStringList());
    EXPECT_EQ(outputsLeft(), QStringList());
}

// The window and the batch say the same of the same files: each row ends with the words of the
// batch's line for its file, side by side as one after the other.
TEST_F(RunWindow, RowsEndAsTheBatchLinesForTheSameFiles)
{
    QDir().mkpath(music);
    writeToneWav(music + "a.wav", 440.0, 0.3);
    writeFile(music + "b.wav", "RIFF but nothing of a wave");
    writeToneWav(music + "c.wav", 523.0, 0.3);
    auto form = startWithFolder(music);
    test::installRealTools(home.workFolder());
    listFolderAt432(*form);
    chooseJobs(*form, 2);
    QSignalSpy runs(&form->engine(), &ConversionEngine::runFinished);
    controls(*form).ConvertBitBtn->click();
    ASSERT_TRUE(waitForEvents([&] { return runs.count() == 1; }, 60'000));
    ASSERT_EQ(form->engine().Results.size(), 3u);

    QProcess batch;
    batch.setWorkingDirectory(music);
    batch.setStandardInputFile(QProcess::nullDevice());
    batch.start(
        QStringLiteral(QUORVANE_PROGRAM_DIR "/quorvane-batch"),
        {"--frequency", "432", "--jobs", "2", "--work-folder", home.path() + "/batch/", music});
    ASSERT_TRUE(batch.waitForFinished(120'000));
    std::map<QString, QStringList> lines;
    for (const QString& line : QString::fromUtf8(batch.readAllStandardOutput()).split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.size() >= 4) {
            lines[fields[0]] = fields.mid(3);
            lines[fields[0]].removeAll(QString());
        }
    }
    for (int row = 0; row < 3; ++row) {
        const JobResult& result = form->engine().Results[std::size_t(row)];
        QStringList words{OutcomeWord(result.outcome)};
        if (result.reason != FailureReason::None) {
            words << ReasonWords(result.reason);
        }
        EXPECT_EQ(words, lines[form->files().input(row)]) << row;
        const QString status = form->files().cellText(row, FileListModel::StatusColumn);
        EXPECT_EQ(status, result.converted()
                              ? ConvertedStatusText(texts(), result, texts().text(505))
                              : RowStatusText(texts(), result, texts().text(507)));
    }
    EXPECT_EQ(form->files().cellText(1, FileListModel::StatusColumn).startsWith(texts().text(507)),
              true);
}
