#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "platform/Storage.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qvr;
using qvr::test::writeFile;

class FileSystemTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString folder = dir.path() + "/";
};

TEST_F(FileSystemTest, FileSize64CountsPastFourGigabytes)
{
    const QString path = folder + "sparse.bin";
    const int fd = ::open(toNativeBytes(path).c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    const std::int64_t size = 5'000'000'000LL;
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    EXPECT_EQ(FileSize64(path), size);
    EXPECT_EQ(FileSize64(folder + "missing.bin"), 0);
    EXPECT_EQ(FileSize64(folder), 0);
}

TEST_F(FileSystemTest, DeleteFilesByMaskTakesReadOnlyFilesAndIgnoresCase)
{
    writeFile(folder + "a.wav", "x");
    writeFile(folder + "B.WAV", "x");
    writeFile(folder + "keep.mp3", "x");
    QDir().mkpath(folder + "folder.wav");
    ::chmod(toNativeBytes(folder + "a.wav").c_str(), 0444);

    EXPECT_TRUE(DeleteFilesByMask(folder + "*.wav"));
    EXPECT_FALSE(FileExists(folder + "a.wav"));
    EXPECT_FALSE(FileExists(folder + "B.WAV"));
    EXPECT_TRUE(FileExists(folder + "keep.mp3"));
    EXPECT_TRUE(DirectoryExists(folder + "folder.wav"));
}

TEST_F(FileSystemTest, DeleteFilesByMaskWithoutMatchAnswersFalse)
{
    writeFile(folder + "keep.mp3", "x");
    EXPECT_FALSE(DeleteFilesByMask(folder + "*.wav"));
    EXPECT_FALSE(DeleteFilesByMask(folder + "nowhere/*.wav"));
    EXPECT_TRUE(FileExists(folder + "keep.mp3"));
}

TEST_F(FileSystemTest, ClearReadOnlyChangesOnlyReadOnlyFiles)
{
    writeFile(folder + "ro", "x");
    writeFile(folder + "rw", "x");
    ::chmod(toNativeBytes(folder + "ro").c_str(), 0444);
    EXPECT_TRUE(ClearReadOnly(folder + "ro"));
    EXPECT_FALSE(ClearReadOnly(folder + "rw"));
    EXPECT_FALSE(ClearReadOnly(folder + "missing"));
    struct stat st {};
    ::stat(toNativeBytes(folder + "ro").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(FileSystemTest, CopyKeepsPermissionsAndReplacesTheTarget)
{
    writeFile(folder + "tool", "#!/bin/sh\n");
    ::chmod(toNativeBytes(folder + "tool").c_str(), 0755);
    writeFile(folder + "copy", "old and longer content");
    ASSERT_TRUE(CopyFileReplacing(folder + "tool", folder + "copy"));
    EXPECT_EQ(qvr::test::readFile(folder + "copy"), "#!/bin/sh\n");
    EXPECT_EQ(::access(toNativeBytes(folder + "copy").c_str(), X_OK), 0);
    EXPECT_FALSE(CopyFileReplacing(folder + "missing", folder + "copy2"));
    EXPECT_FALSE(FileExists(folder + "copy2"));
}

TEST_F(FileSystemTest, NamesThatAreNotUtf8CanBeListedAndOpened)
{
    const std::string name = "caf\xE9 \x80.mp3";
    const std::string path = toNativeBytes(folder) + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);

    const auto entries = ListFolder(folder);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(toNativeBytes(entries[0].name), name);
    EXPECT_TRUE(FileExists(folder + entries[0].name));
    EXPECT_EQ(FileSize64(folder + entries[0].name), 3);
    // The scratch folder's own clean-up reads names as UTF-8 and could not remove this one.
    ::unlink(path.c_str());
}

TEST_F(FileSystemTest, TextFilesReadLineByLine)
{
    writeFile(folder + "a.txt",
              "\xEF\xBB\xBF"
              "FRANCE\r\nsecond\r\n");
    writeFile(folder + "empty.txt", "");
    EXPECT_EQ(ReadFirstLine(folder + "a.txt").value_or("none"), "FRANCE");
    EXPECT_EQ(ReadTextLines(folder + "a.txt")->size(), 2);
    EXPECT_FALSE(ReadFirstLine(folder + "empty.txt").has_value());
    EXPECT_FALSE(ReadFirstLine(folder + "missing.txt").has_value());
}

TEST_F(FileSystemTest, ForceDirectoriesMakesTheParentsToo)
{
    EXPECT_TRUE(ForceDirectories(folder + "a/b/c/"));
    EXPECT_TRUE(DirectoryExists(folder + "a/b/c"));
    EXPECT_TRUE(ForceDirectories(folder + "a/b/c"));
}

namespace {

// One entry of a folder, made as a person's music folder could hold it.
struct EntryCase {
    const char* name;
    bool regular;
    bool folder;
    bool link;
};

}  // namespace

class FileKinds : public FileSystemTest {
  protected:
    void SetUp() override
    {
        writeFile(folder + "file.mp3", "x");
        QDir().mkpath(folder + "sub");
        ASSERT_EQ(::mkfifo(toNativeBytes(folder + "pipe.wav").c_str(), 0600), 0);
        ASSERT_EQ(::symlink("file.mp3", toNativeBytes(folder + "good.flac").c_str()), 0);
        ASSERT_EQ(::symlink("missing", toNativeBytes(folder + "dangling.mp3").c_str()), 0);
        ASSERT_EQ(::symlink("sub", toNativeBytes(folder + "folder-link").c_str()), 0);
        ASSERT_EQ(::symlink("pipe.wav", toNativeBytes(folder + "pipe-link.wav").c_str()), 0);
    }

    const std::vector<EntryCase> cases = {
        {"file.mp3", true, false, false},      {"sub", false, true, false},
        {"pipe.wav", false, false, false},     {"good.flac", true, false, true},
        {"dangling.mp3", false, false, true},  {"folder-link", false, true, true},
        {"pipe-link.wav", false, false, true},
    };
};

TEST_F(FileKinds, OnlyRegularFilesAndLinksToThemAreRegular)
{
    for (const EntryCase& c : cases) {
        EXPECT_EQ(IsRegularFile(folder + c.name), c.regular) << c.name;
    }
    EXPECT_FALSE(IsRegularFile(folder + "missing"));
    EXPECT_FALSE(IsRegularFile(""));
}

TEST_F(FileKinds, ListFolderTellsTheKindOfEachEntry)
{
    const auto entries = ListFolder(folder);
    ASSERT_EQ(entries.size(), cases.size());
    for (const EntryCase& c : cases) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const FolderEntry& e) { return e.name == c.name; });
        ASSERT_NE(entry, entries.end()) << c.name;
        EXPECT_EQ(entry->isRegular, c.regular) << c.name;
        EXPECT_EQ(entry->isFolder, c.folder) << c.name;
        EXPECT_EQ(entry->isLink, c.link) << c.name;
    }
}

TEST_F(FileKinds, LinksAreReadAndResolved)
{
    const QString real = CanonicalFilePath(folder + "file.mp3");
    EXPECT_TRUE(real.startsWith("/"));
    EXPECT_EQ(FileIdentity(real), FileIdentity(folder + "file.mp3"));
    EXPECT_EQ(CanonicalFilePath(folder + "good.flac"), real);
    EXPECT_EQ(CanonicalFilePath(folder + "dangling.mp3"), "");
    EXPECT_EQ(CanonicalFilePath(folder + "missing"), "");
    EXPECT_EQ(SymbolicLinkTarget(folder + "good.flac"), "file.mp3");
    EXPECT_EQ(SymbolicLinkTarget(folder + "dangling.mp3"), "missing");
    EXPECT_EQ(SymbolicLinkTarget(folder + "file.mp3"), "");
    EXPECT_EQ(SymbolicLinkTarget(folder + "missing"), "");
}

TEST_F(FileSystemTest, ReplaceWithSymbolicLinkTakesThePlaceOfAnyEntry)
{
    writeFile(folder + "target", "new");
    for (const char* before : {"", "file", "link", "dangling"}) {
        SCOPED_TRACE(before);
        const QString link = folder + "tool";
        RemoveFile(link);
        if (QByteArray(before) == "file") {
            writeFile(link, "old copy");
        } else if (QByteArray(before) == "link") {
            writeFile(folder + "elsewhere", "elsewhere");
            ASSERT_EQ(::symlink("elsewhere", toNativeBytes(link).c_str()), 0);
        } else if (QByteArray(before) == "dangling") {
            ASSERT_EQ(::symlink("missing", toNativeBytes(link).c_str()), 0);
        }
        ASSERT_TRUE(ReplaceWithSymbolicLink(folder + "target", link));
        EXPECT_EQ(SymbolicLinkTarget(link), folder + "target");
        EXPECT_EQ(qvr::test::readFile(link), "new");
        if (QByteArray(before) == "link") {
            EXPECT_EQ(qvr::test::readFile(folder + "elsewhere"), "elsewhere");  // left as it was
        }
    }
    // Nothing is left behind under a temporary name.
    QStringList names;
    for (const FolderEntry& entry : ListFolder(folder)) {
        names << entry.name;
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"elsewhere", "target", "tool"}));
    EXPECT_FALSE(ReplaceWithSymbolicLink(folder + "target", folder + "nowhere/tool"));
}

// The process, kernel and device file systems, which a walk over music never enters, also
// through a link.
TEST(SystemFileSystems, AreToldByTheirKindOrPlace)
{
    QTemporaryDir dir;
    ASSERT_EQ(::symlink("/proc", toNativeBytes(dir.path() + "/proc").c_str()), 0);
    const struct {
        QString path;
        bool system;
    } cases[] = {
        {"/proc", true},
        {"/proc/self/fdinfo", true},
        {"/sys", true},
        {"/dev", true},
        {"/dev/null", true},
        {dir.path() + "/proc", true},
        {dir.path(), false},
        {"/", false},
        {dir.path() + "/missing", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSystemFileSystem(c.path), c.system) << c.path.toStdString();
    }
}
