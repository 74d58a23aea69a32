#include "platform/NamedMutex.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

using namespace qvr;

TEST(NamedMutex, OnlyTheFirstHolderGetsIt)
{
    test::TempHome home;
    {
        NamedMutex first("QuorvaneTest");
        NamedMutex second("QuorvaneTest");
        EXPECT_FALSE(first.alreadyExisted());
        EXPECT_TRUE(second.alreadyExisted());
        EXPECT_TRUE(QFileInfo(NamedMutex::lockFilePath("QuorvaneTest")).isFile());
    }
    NamedMutex again("QuorvaneTest");
    EXPECT_FALSE(again.alreadyExisted());
}

namespace {

// What the system's runtime root holds for this user.
enum class RunEntry { None, OwnFolder, PlainFile, OthersFolder };
// What $XDG_RUNTIME_DIR says.
enum class Variable { Unset, ExistingFolder, MissingFolder };
enum class Place { RunFolder, VariableFolder, TemporaryFolder };

struct LockPlaceCase {
    const char* name;
    RunEntry run;
    Variable variable;
    Place expected;
};

}  // namespace

TEST(NamedMutex, TheLockFileIsInTheSystemsRuntimeFolderWhateverTheEnvironment)
{
    const LockPlaceCase cases[] = {
        {"own run folder, no variable", RunEntry::OwnFolder, Variable::Unset, Place::RunFolder},
        {"own run folder, variable", RunEntry::OwnFolder, Variable::ExistingFolder,
         Place::RunFolder},
        {"no run folder, variable", RunEntry::None, Variable::ExistingFolder,
         Place::VariableFolder},
        {"no run folder, no variable", RunEntry::None, Variable::Unset, Place::TemporaryFolder},
        {"no run folder, variable names nothing", RunEntry::None, Variable::MissingFolder,
         Place::TemporaryFolder},
        {"run entry is a file", RunEntry::PlainFile, Variable::ExistingFolder,
         Place::VariableFolder},
        {"run folder of another user", RunEntry::OthersFolder, Variable::ExistingFolder,
         Place::VariableFolder},
    };
    const QString uid = QString::number(::getuid());
    for (const LockPlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempHome home;
        const QString runRoot = home.path() + "/system-run";
        const QString runFolder = runRoot + "/" + uid;
        QDir().mkpath(runRoot);
        switch (c.run) {
            case RunEntry::None: break;
            case RunEntry::OwnFolder: QDir().mkpath(runFolder); break;
            case RunEntry::PlainFile: test::writeFile(runFolder, "x"); break;
            case RunEntry::OthersFolder:
                QDir().mkpath(runFolder);
                if (::chown(runFolder.toLocal8Bit().constData(), ::getuid() + 1, -1) != 0) {
                    continue;  // only the superuser can give a folder away
                }
                break;
        }
        const QString variableFolder = home.path() + "/session-run";
        switch (c.variable) {
            case Variable::Unset:
                home.setEnv("XDG_RUNTIME_DIR", "saved");  // put back afterwards
                qunsetenv("XDG_RUNTIME_DIR");
                break;
            case Variable::ExistingFolder:
                QDir().mkpath(variableFolder);
                home.setEnv("XDG_RUNTIME_DIR", variableFolder.toLocal8Bit());
                break;
            case Variable::MissingFolder:
                home.setEnv("XDG_RUNTIME_DIR", variableFolder.toLocal8Bit());
                break;
        }
        const QString expected = c.expected == Place::RunFolder ? runFolder + "/QuorvaneTest.lock"
                                 : c.expected == Place::VariableFolder
                                     ? variableFolder + "/QuorvaneTest.lock"
                                     : QDir::tempPath() + "/QuorvaneTest-" + uid + ".lock";
        EXPECT_EQ(NamedMutex::lockFilePath("QuorvaneTest", runRoot), expected);
    }
}
