#include "platform/DesktopOpener.h"
#include "platform/NativePath.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace qvr;
using namespace qvr::test;

namespace {

// Programs of the test's own on the search path, standing in for the desktop's.
class FakeDesktop {
  public:
    explicit FakeDesktop(TempHome& home) : home_(home), bin_(home.path() + "/bin/")
    {
        // Only the test's programs: the machine's own opener must not answer.
        QDir().mkpath(bin_);
        QFile::link("/bin/sleep", bin_ + "sleep");
        home_.setEnv("PATH", bin_.toUtf8());
        home_.setEnv("BROWSER", QByteArray());
    }

    void install(const QString& name, const QByteArray& body)
    {
        writeFile(bin_ + name, "#!/bin/sh\necho $$ >> \"" + home_.path().toUtf8() + "/" +
                                   name.toUtf8() + ".pids\"\n" + body);
        ::chmod(toNativeBytes(bin_ + name).c_str(), 0755);
    }

    QList<int> pidsOf(const QString& name) const
    {
        QList<int> pids;
        for (const QByteArray& line : readFile(home_.path() + "/" + name + ".pids").split('\n')) {
            if (!line.isEmpty()) {
                pids << line.toInt();
            }
        }
        return pids;
    }

  private:
    TempHome& home_;
    QString bin_;
};

bool gone(int pid)
{
    return !QFile::exists(QString("/proc/%1").arg(pid));
}

}  // namespace

TEST(DesktopOpener, TellsWhenTheOpenerFailsAndReapsIt)
{
    struct Case {
        const char* name;
        QByteArray opener;  // empty: there is none
        bool failed;
    } cases[] = {
        {"opens", "exit 0\n", false},
        {"nothing handles the target", "exit 3\n", true},
        {"killed", "kill -9 $$\n", true},
        {"no opener at all", "", true},
        {"hands the target to a program that stays", "sleep 3\n", false},
    };
    for (const Case& c : cases) {
        TempHome home;
        FakeDesktop desktop(home);
        if (!c.opener.isEmpty()) {
            desktop.install("xdg-open", c.opener);
        }
        DesktopOpener opener(Milliseconds(200));
        int failures = 0;
        opener.openWithDesktop("/some/folder", [&] { ++failures; });
        waitForEvents([&] { return failures > 0; }, 600);
        EXPECT_EQ(failures, c.failed ? 1 : 0) << c.name;
        for (const int pid : desktop.pidsOf("xdg-open")) {
            if (c.failed) {
                EXPECT_TRUE(waitUntil([&] { return gone(pid); }, 100)) << c.name;
            }
        }
    }
}

TEST(DesktopOpener, ADocumentTheDesktopCannotOpenGoesToTheBrowser)
{
    TempHome home;
    FakeDesktop desktop(home);
    desktop.install("xdg-open", "exit 4\n");
    desktop.install("firefox", "echo \"$@\" > \"$HOME/browsed\"\n");
    home.setEnv("BROWSER", "missing-browser:firefox --new-window %s");
    DesktopOpener opener(Milliseconds(2000));
    opener.openDocument("/srv/info/index de.html");
    ASSERT_TRUE(waitForEvents([&] { return QFile::exists(home.path() + "/browsed"); }, 5000));
    EXPECT_EQ(readFile(home.path() + "/browsed"),
              "--new-window file:///srv/info/index%20de.html\n");
}
