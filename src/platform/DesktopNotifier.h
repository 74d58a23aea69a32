#pragma once

#include <QString>

class QDBusMessage;

namespace qvr {

// What the desktop shell offers a program whose window may be behind another one: a
// notification, and a progress bar on the program's task-bar entry.
class DesktopNotifier {
  public:
    virtual ~DesktopNotifier() = default;

    // A notification with a summary line and a body.
    virtual void notify(const QString& summary, const QString& body) = 0;
    // The task-bar entry's progress, 0.0 to 1.0; `visible` false takes the bar away.
    virtual void showTaskProgress(double progress, bool visible) = 0;
};

// Over the session's D-Bus: org.freedesktop.Notifications for the notification, the Unity
// launcher entry's Update signal for the progress (docks and task bars of several desktops read
// it). Nothing is waited for, and without a bus or a listener nothing happens.
class DBusDesktopNotifier : public DesktopNotifier {
  public:
    // desktopEntry: the program's desktop file name ("quorvane.desktop"); busAddress: a bus
    // other than the session's (a test's own).
    DBusDesktopNotifier(QString applicationName, QString desktopEntry, QString busAddress = {});

    void notify(const QString& summary, const QString& body) override;
    void showTaskProgress(double progress, bool visible) override;

  private:
    void send(const QDBusMessage& message) const;

    QString applicationName_;
    QString desktopEntry_;
    QString busAddress_;
};

}  // namespace qvr
