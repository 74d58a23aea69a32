#include "StartupFixture.h"

#include "app/SecondStarts.h"
#include "app/StartArguments.h"
#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "convert/JobTexts.h"
#include "lang/Language.h"
#include "platform/ActivationChannel.h"
#include "platform/NamedMutex.h"
#include "support/EngineProbe.h"
#include "support/MainFormControls.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace qvr;
using namespace qvr::test;

namespace {

QStringList listedNames(const FileListModel& files)
{
    QStringList names;
    for (int row = 0; row < files.rowCount(); ++row) {
        names << QFileInfo(files.input(row)).fileName();
    }
    names.sort();
    return names;
}

// A music folder in the home: two files and an album with a subfolder, and a text file.
QString makeMusic(const QString& home)
{
    const QString music = home + "/Music/";
    for (const char* file :
         {"a.wav", "1969.mp3", "album/c.flac", "album/disc 2/d.wav", "notes.txt"}) {
        QDir().mkpath(QFileInfo(music + file).path());
        writeFile(music + file, "x");
    }
    return music;
}

}  // namespace

// The first argument carries the markers unless it names a file or folder; every argument that
// does is a path, made absolute from the folder of the start.
TEST(StartArguments, MarkersAndPathsAreTold)
{
    TempHome home;
    const QString music = makeMusic(home.path());
    struct Case {
        const char* name;
        QStringList arguments;
        QString firstArgument;
        QStringList paths;
    };
    const Case cases[] = {
        {"none", {}, "", {}},
        {"the 16:9 marker", {"169"}, "169", {}},
        {"the demonstration marker", {"plenk"}, "plenk", {}},
        {"both markers in one word", {"plenk169"}, "plenk169", {}},
        {"a file", {music + "a.wav"}, "", {music + "a.wav"}},
        {"a file whose name holds 169", {music + "1969.mp3"}, "", {music + "1969.mp3"}},
        {"a marker and files",
         {"169", music + "a.wav", music + "album"},
         "169",
         {music + "a.wav", music + "album"}},
        {"a relative folder", {"Music/album/"}, "", {music + "album"}},
        {"a word after a path", {music + "a.wav", "plenk"}, "", {music + "a.wav"}},
        {"a missing file is no path", {music + "gone.wav"}, music + "gone.wav", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartArguments start = SplitStartArguments(c.arguments, home.path());
        EXPECT_EQ(start.firstArgument, c.firstArgument);
        EXPECT_EQ(start.paths, c.paths);
    }
}

using OpenWith = StartupFixture;

// Paths handed on the command line fill the list once the window is shown, as a drop does:
// the subfolder question for a folder, the refusal for a file of another kind.
TEST_F(OpenWith, PathsOnTheCommandLineFillTheList)
{
    const QString music = makeMusic(home.path());
    struct Case {
        const char* name;
        QStringList arguments;
        MessageButton subfolderAnswer;
        QStringList listed;
        bool askedForSubfolders;
        bool refused;
        QString resolutionClass;
    };
    const Case cases[] = {
        {"two files",
         {music + "a.wav", music + "1969.mp3"},
         MessageButton::No,
         {"1969.mp3", "a.wav"},
         false,
         false,
         "768"},
        {"a folder with its subfolders",
         {music + "album"},
         MessageButton::Yes,
         {"c.flac", "d.wav"},
         true,
         false,
         "768"},
        {"a file whose name holds 169",
         {music + "1969.mp3"},
         MessageButton::No,
         {"1969.mp3"},
         false,
         false,
         "768"},
        {"a file of another kind",
         {music + "notes.txt"},
         MessageButton::No,
         {},
         false,
         true,
         "768"},
        {"the 16:9 marker before a file",
         {"169", music + "a.wav"},
         MessageButton::No,
         {"a.wav"},
         false,
         false,
         "2160"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.messages.clear();
        recorder.answerNext(c.subfolderAnswer);
        auto form = start(c.arguments);
        EXPECT_TRUE(form->files().rowCount() == 0);  // nothing before the window is there
        form->show();
        // The queued taking of the paths, and the list it fills.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return form->files().rowCount() > 0 || !recorder.messages.empty(); }, 5000));
        EXPECT_EQ(listedNames(form->files()), c.listed);
        QStringList shown;
        for (const MessageBoxRequest& message : recorder.messages) {
            shown << message.text;
        }
        EXPECT_EQ(shown.contains(texts().text(10000)), c.askedForSubfolders);
        EXPECT_EQ(shown.contains(UnsupportedFileText(texts())), c.refused);
        EXPECT_EQ(form->resolutionClass(), c.resolutionClass);
        const MainFormControls controls(*form);
        EXPECT_EQ(controls.ComboBox1->isVisible(), !c.listed.isEmpty());
        recorder.answers.clear();
    }
}

// "plenk" before the paths still fills the list as a demonstration when a frequency is chosen.
TEST_F(OpenWith, TheDemonstrationMarkerStillWorksBeforePaths)
{
    const QString music = makeMusic(home.path());
    recorder.answerNext(MessageButton::Yes);
    auto form = start({"plenk", music});
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->files().rowCount() == 4; }, 5000));
    EXPECT_EQ(form->firstArgument(), "plenk");
    const MainFormControls controls(*form);
    controls.ComboBox1->setCurrentIndex(4);
    emit controls.ComboBox1->activated(4);
    EXPECT_TRUE(form->files().row(0).result.has_value());  // shown as done without a run
}

// Paths handed while a run goes on wait for its end.
TEST_F(OpenWith, PathsHandedDuringARunWaitForItsEnd)
{
    const QString music = makeMusic(home.path());
    auto form = start();
    form->show();
    EngineProbe::holdAsRunning(form->engine(), true);
    form->OpenPaths({music + "a.wav"});
    EXPECT_EQ(form->files().rowCount(), 0);
    EngineProbe::holdAsRunning(form->engine(), false);
    emit form->engine().runFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->files().rowCount() > 0; }, 5000));
    EXPECT_EQ(listedNames(form->files()), QStringList{"a.wav"});
}

// A second start with paths hands them to the running copy, which lists them and comes forward;
// the second start ends without a word, since it did what it was asked.
TEST_F(OpenWith, ASecondStartHandsItsPathsToTheRunningCopy)
{
    const QString music = makeMusic(home.path());
    NamedMutex running("Quorvane");
    ASSERT_FALSE(running.alreadyExisted());
    ActivationChannel channel("Quorvane");
    ASSERT_TRUE(channel.listen());
    auto form = start();
    form->show();
    FollowSecondStarts(channel, *form);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUORVANE_MESSAGES", "stderr");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(music);
    second.start(QStringLiteral(QUORVANE_PROGRAM_DIR "/quorvane"), {"a.wav", music + "1969.mp3"});
    ASSERT_TRUE(second.waitForStarted(20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->files().rowCount() > 0; }, 20000));
    EXPECT_EQ(listedNames(form->files()), (QStringList{"1969.mp3", "a.wav"}));
    EXPECT_EQ(form->files().input(0).left(1), "/");  // made absolute by the second start
    // It may have ended while the list filled.
    ASSERT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(second.readAllStandardError().contains("Quorvane is already started!"));
}

// Any name the file system allows travels unchanged, a line break or stray bytes included.
TEST(ActivationChannelCall, CarriesEveryName)
{
    TempHome home;
    ActivationChannel channel("Quorvane");
    ASSERT_TRUE(channel.listen());
    QSignalSpy called(&channel, &ActivationChannel::activationRequested);
    const QStringList paths = {"/music/a.wav", "/music/two\nlines.mp3",
                               QString("/music/") + QChar(0xDCE9) + "t\u00e9.flac"};
    ASSERT_TRUE(ActivationChannel::callRunning("Quorvane", paths, 5000));
    ASSERT_TRUE(called.wait(5000));
    EXPECT_EQ(called.at(0).at(0).toStringList(), paths);
}

// What is not a call (another program's bytes on the socket) is hung up on, and lists nothing.
TEST(ActivationChannelCall, AnythingElseIsHungUpOn)
{
    TempHome home;
    ActivationChannel channel("Quorvane");
    ASSERT_TRUE(channel.listen());
    QSignalSpy called(&channel, &ActivationChannel::activationRequested);
    for (const QByteArray& bytes : {QByteArray("activate\n"), QByteArray(64, '\xff')}) {
        QLocalSocket socket;
        socket.connectToServer(ActivationChannel::socketPath("Quorvane"));
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        ASSERT_TRUE(socket.waitForBytesWritten(5000));
        // The channel answers in this thread's event loop.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return socket.state() == QLocalSocket::UnconnectedState; }, 5000));
    }
    EXPECT_EQ(called.count(), 0);
}
