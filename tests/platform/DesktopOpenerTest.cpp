#include "platform/DesktopOpener.h"
#include "platform/NativePath.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <memory>

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

// Every opener is reaped once it ends, also one that outlasts its patience (a browser run in
// the foreground) and one still running when its owner goes (the About box closed).
TEST(DesktopOpener, TellsWhenTheOpenerFailsAndReapsIt)
{
    struct Case {
        const char* name;
        QByteArray opener;  // empty: there is none
        bool failed;
        bool ownerGoes = false;
    } cases[] = {
        {"opens", "exit 0\n", false},
        {"nothing handles the target", "exit 3\n", true},
        {"killed", "kill -9 $$\n", true},
        {"no opener at all", "", true},
        {"hands the target to a program that stays", "sleep 0.5; exit 3\n", false},
        {"still running when its owner goes", "sleep 0.3\n", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        FakeDesktop desktop(home);
        if (!c.opener.isEmpty()) {
            desktop.install("xdg-open", c.opener);
        }
        auto opener = std::make_unique<DesktopOpener>(Milliseconds(200));
        int failures = 0;
        opener->openWithDesktop("/some/folder", [&] { ++failures; });
        if (c.ownerGoes) {
            ASSERT_TRUE(waitUntil([&] { return !desktop.pidsOf("xdg-open").isEmpty(); }, 5000));
            opener.reset();
        }
        waitForEvents([&] { return failures > 0; }, 600);
        EXPECT_EQ(failures, c.failed ? 1 : 0);
        for (const int pid : desktop.pidsOf("xdg-open")) {
            EXPECT_TRUE(waitForEvents([&] { return gone(pid); }, 5000));
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
