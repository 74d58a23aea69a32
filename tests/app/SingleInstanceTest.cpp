#include "app/NurEinmalStarten_Unit_Quorvane.h"
#include "platform/ActivationChannel.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>

using namespace qvr;

TEST(SingleInstance, ASecondCopySaysSoAndEndsWithZero)
{
    test::TempHome home;
    test::RecordingHost recorder;
    int exitCode = -1;
    auto first = GuardSingleInstance(recorder, [&](int code) { exitCode = code; });
    EXPECT_EQ(exitCode, -1);
    auto second = GuardSingleInstance(recorder, [&](int code) { exitCode = code; });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(recorder.plainMessages, QStringList({"Quorvane is already started!"}));
}

namespace {

// The program started offscreen, its messages on standard error.
void startSecondCopy(QProcess& process)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUORVANE_MESSAGES", "stderr");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORVANE_PROGRAM_DIR "/quorvane"), {});
}

}  // namespace

TEST(SingleInstance, TheProgramEndsWhenAnotherCopyRuns)
{
    test::TempHome home;
    NamedMutex running("Quorvane");
    ASSERT_FALSE(running.alreadyExisted());
    QProcess second;
    startSecondCopy(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardError().contains("Quorvane is already started!"));
    EXPECT_FALSE(QFileInfo::exists(home.outputFolder()));  // no window, no file touched
}

// A second start asks the running copy to come to the front before it says so and ends.
TEST(SingleInstance, ASecondStartCallsTheRunningCopyForward)
{
    test::TempHome home;
    NamedMutex running("Quorvane");
    ASSERT_FALSE(running.alreadyExisted());
    ActivationChannel channel("Quorvane");
    ASSERT_TRUE(channel.listen());
    QSignalSpy called(&channel, &ActivationChannel::activationRequested);

    QProcess second;
    startSecondCopy(second);
    ASSERT_TRUE(called.wait(20000));
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardError().contains("Quorvane is already started!"));
    EXPECT_EQ(called.count(), 1);
}

TEST(SingleInstance, NobodyListeningIsNoCall)
{
    test::TempHome home;
    EXPECT_FALSE(ActivationChannel::callRunning("Quorvane", {}, 100));
}
