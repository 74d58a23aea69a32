#include "platform/WorkFolderLock.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <memory>

using namespace qvr;
using qvr::test::writeFile;

class WorkFolderLockTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString folder = dir.path() + "/work/";

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(folder)); }
};

TEST_F(WorkFolderLockTest, ASecondHolderIsRefusedUntilTheFirstIsGone)
{
    auto first = std::make_unique<WorkFolderLock>(folder);
    ASSERT_TRUE(first->acquired());
    EXPECT_TRUE(QFileInfo(folder + "quorvane.lock").isFile());
    {
        WorkFolderLock second(folder);
        EXPECT_FALSE(second.acquired());
    }
    EXPECT_TRUE(first->acquired());  // a refused second holder does not take it from the first
    first.reset();
    WorkFolderLock third(folder);
    EXPECT_TRUE(third.acquired());
}

TEST_F(WorkFolderLockTest, DifferentFoldersDoNotInterfere)
{
    const QString other = dir.path() + "/other/";
    ASSERT_TRUE(QDir().mkpath(other));
    WorkFolderLock one(folder);
    WorkFolderLock two(other);
    EXPECT_TRUE(one.acquired());
    EXPECT_TRUE(two.acquired());
}

TEST_F(WorkFolderLockTest, AFolderThatCannotHoldTheFileIsNotAcquired)
{
    writeFile(dir.path() + "/plain", "x");
    for (const QString& place : {dir.path() + "/missing/", dir.path() + "/plain/"}) {
        WorkFolderLock lock(place);
        EXPECT_FALSE(lock.acquired()) << place.toStdString();
    }
}

TEST_F(WorkFolderLockTest, AStartedProgramDoesNotKeepTheLock)
{
    auto lock = std::make_unique<WorkFolderLock>(folder);
    ASSERT_TRUE(lock->acquired());
    QProcess child;  // waits for its input to end
    child.start("cat", {});
    ASSERT_TRUE(child.waitForStarted(5000));
    lock.reset();
    WorkFolderLock again(folder);
    EXPECT_TRUE(again.acquired());
    child.closeWriteChannel();
    EXPECT_TRUE(child.waitForFinished(5000));
}
