#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace qvr {
namespace {

// Sends without waiting for an answer: a missing service must never hold up the window.
void sendOnSessionBus(const QDBusMessage& message)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        bus.send(message);
    }
}

}  // namespace

DBusDesktopNotifier::DBusDesktopNotifier(QString applicationName, QString desktopEntry)
    : applicationName_(std::move(applicationName)), desktopEntry_(std::move(desktopEntry))
{
}

void DBusDesktopNotifier::notify(const QString& summary, const QString& body)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QString icon = QString(desktopEntry_).remove(QStringLiteral(".desktop"));
    call << applicationName_ << uint(0) << icon << summary << body << QStringList() << QVariantMap()
         << int(-1);
    call.setAutoStartService(true);
    sendOnSessionBus(call);
}

void DBusDesktopNotifier::showTaskProgress(double progress, bool visible)
{
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/quorvane"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), progress);
    properties.insert(QStringLiteral("progress-visible"), visible);
    update << QStringLiteral("application://") + desktopEntry_ << properties;
    sendOnSessionBus(update);
}

}  // namespace qvr
