// The notification and the task-bar progress reach a desktop shell over a real D-Bus: a private
// bus daemon started by the test, with a stand-in for the shell's notification service and dock.
#include "platform/DesktopNotifier.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>

using namespace qvr;

namespace {

// What a desktop shell hears: the notifications asked for and the launcher entries' updates.
class FakeShell : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    QStringList notifications;  // application, icon, summary, body
    QString updatedEntry;
    QVariantMap updated;

  public slots:
    uint Notify(const QString& application, uint replaces, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout)
    {
        Q_UNUSED(replaces);
        Q_UNUSED(actions);
        Q_UNUSED(hints);
        Q_UNUSED(timeout);
        notifications = {application, icon, summary, body};
        return 1;
    }
    void Update(const QString& entry, const QVariantMap& properties)
    {
        updatedEntry = entry;
        updated = properties;
    }
};

// A bus of the test's own, ended with the test.
class PrivateBus {
  public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            return;
        }
        process_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000)) {
            address = QString::fromLocal8Bit(process_.readLine()).trimmed();
        }
    }
    ~PrivateBus()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    QString address;

  private:
    QProcess process_;
};

}  // namespace

TEST(DBusDesktopNotifier, TheShellGetsTheNotificationAndTheLaunchersProgress)
{
    PrivateBus bus;
    if (bus.address.isEmpty()) {
        GTEST_SKIP() << "no dbus-daemon";
    }
    QDBusConnection shellSide = QDBusConnection::connectToBus(bus.address, "fake-shell");
    ASSERT_TRUE(shellSide.isConnected());
    FakeShell shell;
    ASSERT_TRUE(shellSide.registerService("org.freedesktop.Notifications"));
    ASSERT_TRUE(shellSide.registerObject("/org/freedesktop/Notifications", &shell,
                                         QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(shellSide.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry",
                                  "Update", &shell, SLOT(Update(QString, QVariantMap))));

    DBusDesktopNotifier notifier("Quorvane", "quorvane.desktop", bus.address);
    notifier.notify("The conversion has finished.", "Converted: 2, not converted: 1");
    notifier.showTaskProgress(0.5, true);
    ASSERT_TRUE(test::waitForEvents(
        [&] { return !shell.notifications.isEmpty() && !shell.updated.isEmpty(); }, 10'000));

    EXPECT_EQ(shell.notifications,
              (QStringList{"Quorvane", "quorvane", "The conversion has finished.",
                           "Converted: 2, not converted: 1"}));
    EXPECT_EQ(shell.updatedEntry, "application://quorvane.desktop");
    EXPECT_DOUBLE_EQ(shell.updated.value("progress").toDouble(), 0.5);
    EXPECT_TRUE(shell.updated.value("progress-visible").toBool());
    QDBusConnection::disconnectFromBus("fake-shell");
    QDBusConnection::disconnectFromBus("quorvane-notifier");
}

// Without a bus nothing happens, and nothing waits.
TEST(DBusDesktopNotifier, WithoutABusNothingHappens)
{
    DBusDesktopNotifier notifier("Quorvane", "quorvane.desktop",
                                 "unix:path=/nonexistent/quorvane-test-bus");
    notifier.notify("summary", "body");
    notifier.showTaskProgress(1.0, false);
    QDBusConnection::disconnectFromBus("quorvane-notifier");
}

#include "DesktopNotifierTest.moc"
