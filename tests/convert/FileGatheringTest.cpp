#include "convert/FileGathering.h"
#include "platform/NativePath.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>

using namespace qvr;
using qvr::test::writeFile;

class FileGathering : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString root = dir.path() + "/";
    void SetUp() override
    {
        for (const char* name :
             {"b.txt", "c.Flac", "a.MP3", "B.wav", ".hidden.mp3", "sub/z.aac", "sub/y.mp3",
              "sub/deeper/x.m4a", "Another/w.aif", ".cache/v.mp3", "sub.mp3/inside.wav"}) {
            writeFile(root + name, "x");
        }
    }
    QStringList relative(const QStringList& paths)
    {
        QStringList names;
        for (const QString& path : paths) {
            names << path.mid(root.size());
        }
        return names;
    }
};

TEST_F(FileGathering, TakesTheFoldersOwnSupportedFilesByName)
{
    EXPECT_EQ(relative(GatherFolderFiles(root, false)),
              QStringList({".hidden.mp3", "a.MP3", "B.wav", "c.Flac"}));
}

TEST_F(FileGathering, SubfoldersFollowTheirParentDepthFirstWithoutDotFolders)
{
    EXPECT_EQ(relative(GatherFolderFiles(root, true)),
              QStringList({".hidden.mp3", "a.MP3", "B.wav", "c.Flac", "Another/w.aif", "sub/y.mp3",
                           "sub/z.aac", "sub/deeper/x.m4a", "sub.mp3/inside.wav"}));
}

TEST_F(FileGathering, AFolderLinkedIntoItselfIsSearchedOnce)
{
    ASSERT_EQ(::symlink(root.toUtf8().constData(), (root + "sub/loop").toUtf8().constData()), 0);
    const QStringList found = GatherFolderFiles(root, true);
    EXPECT_EQ(found.count(root + "a.MP3"), 1);
    EXPECT_EQ(found.size(), 9);
}

TEST(FileGatheringKinds, OnlyRegularFilesAndLinksToThemAreGathered)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    writeFile(root + "real.wav", "x");
    ASSERT_EQ(::mkfifo(toNativeBytes(root + "x.wav").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.wav", toNativeBytes(root + "l.flac").c_str()), 0);
    ASSERT_EQ(::symlink("missing.wav", toNativeBytes(root + "d.mp3").c_str()), 0);
    // A listening socket, as a player's control socket would be.
    const std::string socketPath = toNativeBytes(root + "s.mp3");
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    // Opening the pipe for reading would wait for a writer that never comes: the gathering runs
    // aside, and should it hang, a writer is brought so the test reports it instead of waiting.
    for (const bool subfolders : {false, true}) {
        auto gathering =
            std::async(std::launch::async, [&] { return GatherFolderFiles(root, subfolders); });
        const bool returned =
            gathering.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!returned) {
            ::close(::open(toNativeBytes(root + "x.wav").c_str(), O_WRONLY | O_NONBLOCK));
        }
        EXPECT_TRUE(returned);
        // The link and the file it leads to are one file: taken once, as first listed.
        EXPECT_EQ(gathering.get(), QStringList({root + "l.flac"}));
    }
    ::close(listening);
}

TEST_F(FileGathering, AMissingFolderGivesNothing)
{
    EXPECT_TRUE(GatherFolderFiles(root + "nowhere/", true).isEmpty());
}

TEST(CollectFiles, MatchesThePatternWithoutRegardToCase)
{
    QTemporaryDir dir;
    writeFile(dir.path() + "/one.WAV", "x");
    writeFile(dir.path() + "/two.wav", "x");
    writeFile(dir.path() + "/three.mp3", "x");
    QStringList found;
    CollectFiles(dir.path() + "/*.wav", false, found);
    EXPECT_EQ(found, QStringList({dir.path() + "/one.WAV", dir.path() + "/two.wav"}));
}
