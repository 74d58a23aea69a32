#include "convert/FileGathering.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <unistd.h>

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
