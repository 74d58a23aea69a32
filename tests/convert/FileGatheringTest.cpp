#include "convert/FileGathering.h"
#include "convert/PartialOutputs.h"
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
#include <optional>
#include <string>
#include <thread>

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

namespace {

// The files a walk collects, or nothing when it has not ended within the time: a walk that
// strays over the whole machine is left to itself instead of holding the test.
std::optional<QStringList> collectWithin(const QString& mask, std::chrono::seconds limit)
{
    auto task = std::make_shared<std::packaged_task<QStringList()>>([mask] {
        QStringList found;
        CollectFiles(mask, true, found);
        return found;
    });
    std::future<QStringList> result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (result.wait_for(limit) != std::future_status::ready) {
        return std::nullopt;
    }
    return result.get();
}

}  // namespace

// Links lead the walk only to folders inside the one named; the system's own file systems are
// never entered, not through links either; loops end.
TEST(FileGatheringWalk, StaysInsideTheFolderNamed)
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString root = dir.path() + "/";
    writeFile(root + "a.mp3", "x");
    writeFile(root + "inside/b.mp3", "x");
    writeFile(elsewhere.path() + "/c.mp3", "x");
    writeFile(root + ".quorvane-4321-0.part.mp3", "half an output of a killed run");
    const struct Link {
        const char* name;
        QString target;
    } links[] = {
        {"toInside", root + "inside"},  // followed, but its files were found already
        {"toOutside", elsewhere.path()},
        {"everything", "/"},
        {"proc", "/proc"},
        {"sys", "/sys"},
        {"dev", "/dev"},
        {"loop", ".."},
        {"inside/up", ".."},
        {"inside/self", "/proc/self"},
        {"stat.mp3", "/proc/self/stat"},
    };
    for (const Link& link : links) {
        ASSERT_EQ(
            ::symlink(toNativeBytes(link.target).c_str(), toNativeBytes(root + link.name).c_str()),
            0)
            << link.name;
    }

    const std::optional<QStringList> all = collectWithin(root + "*", std::chrono::seconds(10));
    ASSERT_TRUE(all.has_value()) << "the walk did not end";
    QStringList names;
    for (const QString& path : *all) {
        names << path.mid(root.size());
    }
    EXPECT_EQ(names, QStringList({".quorvane-4321-0.part.mp3", "a.mp3", "inside/b.mp3"}));
    EXPECT_EQ(GatherFolderFiles(root, true), QStringList({root + "a.mp3", root + "inside/b.mp3"}));
}

// However often a file is reached, it is one source.
TEST(SourceFiles, TakeEachFileOnce)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    writeFile(root + "a.wav", "x");
    writeFile(root + "b.wav", "y");
    ASSERT_EQ(::symlink("a.wav", toNativeBytes(root + "link.wav").c_str()), 0);
    SourceFiles sources;
    EXPECT_TRUE(sources.addFile(root + "a.wav"));
    EXPECT_FALSE(sources.addFile(root + "a.wav"));
    EXPECT_FALSE(sources.addFile(root + "link.wav"));
    EXPECT_FALSE(sources.addFile(root + "./a.wav"));
    sources.addFolder(root, true);
    EXPECT_EQ(sources.files(), QStringList({root + "a.wav", root + "b.wav"}));
}

TEST(PartialOutputs, OnlyNamesOfTheirShapeArePartialOutputs)
{
    EXPECT_EQ(PartialOutputName("/o/Song-432 Hz.flac", 77, 3), ".quorvane-77-3.part.flac");
    EXPECT_EQ(PartialOutputName("/o/noextension", 77, 3), ".quorvane-77-3.part");
    const struct {
        const char* name;
        bool partial;
    } cases[] = {
        {".quorvane-77-3.part.flac", true}, {".quorvane-77-3.part", true},
        {"quorvane-77-3.part.flac", false}, {".quorvane-x-3.part.flac", false},
        {".quorvane-77-3.flac", false},     {".quorvane-77-3.part.flac.bak", false},
        {"song.part.mp3", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPartialOutputName(c.name), c.partial) << c.name;
        if (c.partial) {
            EXPECT_FALSE(IsSupportedSource(QString("/m/") + c.name)) << c.name;
        }
    }
}
