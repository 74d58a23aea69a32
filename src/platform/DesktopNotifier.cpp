#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace qvr {

DBusDesktopNotifier::DBusDesktopNotifier(QString applicationName, QString desktopEntry,
                                         QString busAddress)
    : applicationName_(std::move(applicationName)),
      desktopEntry_(std::move(desktopEntry)),
      busAddress_(std::move(busAddress))
{
}

// Sends without waiting for an answer: a missing service must never hold up the window.
void DBusDesktopNotifier::send(const QDBusMessage& message) const
{
    QDBusConnection bus =
        busAddress_.isEmpty()
            ? QDBusConnection::sessionBus()
            : QDBusConnection::connectToBus(busAddress_, QStringLiteral("quorvane-notifier"));
    if (bus.isConnected()) {
        bus.send(message);
    }
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
    send(call);
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
    send(update);
}

}  // namespace qvr
