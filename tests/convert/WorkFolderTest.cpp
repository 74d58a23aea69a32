#include "convert/WorkFolder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

using namespace qvr;
using namespace qvr::test;

// What a named work folder becomes: the folder itself when empty or ours, a folder of ours below
// it when it holds the user's files, a refusal with the reason when it cannot be used.
TEST(WorkFolder, ANamedFolderIsUsedOnlyWhereNothingOfTheUsersIsTouched)
{
    TempHome home;
    const QString base = home.path() + "/";
    QDir().mkpath(base + "empty");
    QDir().mkpath(base + "ours");
    writeFile(base + "ours/.quorvane-work", "Quorvane");
    writeFile(base + "ours/lame.exe", "a link of ours");
    QDir().mkpath(base + "music");
    writeFile(base + "music/input.wav", "mine");
    QDir().mkpath(base + "crowded/quorvane-work");
    writeFile(base + "crowded/input.wav", "mine");
    writeFile(base + "crowded/quorvane-work/notes.txt", "mine");
    writeFile(base + "a-file", "mine");
    const struct {
        const char* named;
        const char* folder;  // empty: refused
        const char* reason;
    } cases[] = {
        {"empty", "empty/", ""},         {"missing/below", "missing/below/", ""},
        {"ours", "ours/", ""},           {"music", "music/quorvane-work/", ""},
        {"crowded", "", "is not ours"},  {"a-file", "", "is a file, not a folder"},
        {"new\nline", "", "line break"}, {"say \"hi\"", "", "quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const WorkFolderChoice choice = ChooseWorkFolder(base + c.named);
        if (*c.folder != '\0') {
            EXPECT_EQ(choice.folder, base + c.folder);
            EXPECT_TRUE(choice.error.isEmpty()) << choice.error.toStdString();
            EXPECT_TRUE(IsOurWorkFolder(choice.folder));
        } else {
            EXPECT_TRUE(choice.folder.isEmpty());
            EXPECT_TRUE(choice.error.contains(c.reason)) << choice.error.toStdString();
        }
    }
    EXPECT_EQ(readFile(base + "music/input.wav"), "mine");
    EXPECT_FALSE(QFileInfo::exists(base + "music/.quorvane-work"));
    EXPECT_EQ(QDir(base + "crowded/quorvane-work").entryList(QDir::Files | QDir::Hidden),
              QStringList{"notes.txt"});
    EXPECT_EQ(readFile(base + "a-file"), "mine");
}

// A job folder of the user's under a job's name is passed over.
TEST(WorkFolder, JobFoldersAreMadeAndMarkedAndPassOverTheUsers)
{
    TempHome home;
    const QString work = home.path() + "/work/";
    QDir().mkpath(work + "job2");
    writeFile(work + "job2/input.wav", "mine");
    EXPECT_EQ(MakeJobFolder(work, 1), work + "job1/");
    EXPECT_EQ(MakeJobFolder(work, 1), work + "job1/");
    EXPECT_EQ(MakeJobFolder(work, 2), work + "job2-2/");
    EXPECT_TRUE(IsOurWorkFolder(work + "job1/"));
    EXPECT_TRUE(IsOurWorkFolder(work + "job2-2/"));
    EXPECT_FALSE(IsOurWorkFolder(work + "job2/"));
    EXPECT_EQ(readFile(work + "job2/input.wav"), "mine");
}
