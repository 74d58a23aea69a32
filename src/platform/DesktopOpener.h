#pragma once

#include "Clock.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include <sys/types.h>

namespace qvr {

// Opens files, folders and addresses with the desktop's handler and tells when that failed: the
// opener's exit status is read and the process reaped, without waiting for it. An opener still
// running after `patience` has handed the target to a program that stays open (a browser that
// xdg-open runs in the foreground): that counts as opened, and the child is reaped when it ends.
class DesktopOpener : public QObject {
    Q_OBJECT

  public:
    using Failed = std::function<void()>;

    explicit DesktopOpener(Milliseconds patience = Milliseconds(10'000), QObject* parent = nullptr);
    ~DesktopOpener() override;

    // xdg-open; `failed` runs when it cannot start or ends with a non-zero status.
    void openWithDesktop(const QString& target, Failed failed);
    // The desktop's handler, and when it fails the default web browser.
    void openDocument(const QString& target);
    // $BROWSER (a list of commands separated by ":", "%s" standing for the address), then
    // x-www-browser, then the desktop's handler; each one that fails hands on to the next.
    void openInBrowser(const QString& address);

  private:
    struct Opening;
    void start(const QString& program, const QStringList& arguments, Failed failed);
    void tryBrowsers(QList<QStringList> commands);
    void ended(Opening* opening);

    Milliseconds patience_;
    std::vector<std::unique_ptr<Opening>> openings_;
};

// The address a browser needs for a target: addresses stay, paths become file addresses.
QString BrowserAddress(const QString& target);

}  // namespace qvr
