#include "Shell.h"

#include "CommandLine.h"
#include "Processes.h"
#include "Spawn.h"

#include <QRegularExpression>
#include <QUrl>

namespace qvr {
namespace {

bool startDetached(const QString& program, const QStringList& arguments)
{
    const QString path = FindProgram(QString(), program);
    if (path.isEmpty()) {
        return false;
    }
    const pid_t pid = SpawnHidden(path, arguments, QString());
    AdoptChild(pid);
    return pid > 0;
}

bool isAddress(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

// $BROWSER holds a list of commands separated by ":"; "%s" stands for the address.
bool startFromBrowserVariable(const QString& address)
{
    const QString variable = QString::fromLocal8Bit(qgetenv("BROWSER"));
    for (const QString& command : variable.split(u':', Qt::SkipEmptyParts)) {
        QStringList words = SplitCommandLine(command);
        if (words.isEmpty()) {
            continue;
        }
        bool substituted = false;
        for (QString& word : words) {
            if (word.contains(QStringLiteral("%s"))) {
                word.replace(QStringLiteral("%s"), address);
                substituted = true;
            }
        }
        if (!substituted) {
            words << address;
        }
        if (startDetached(words.first(), words.mid(1))) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString BrowserAddress(const QString& target)
{
    return isAddress(target) ? target : QUrl::fromLocalFile(target).toString(QUrl::FullyEncoded);
}

bool OpenWithDesktop(const QString& target)
{
    return startDetached(QStringLiteral("xdg-open"), {target});
}

bool OpenDocument(const QString& target)
{
    if (OpenWithDesktop(target)) {
        return true;
    }
    OpenInBrowser(BrowserAddress(target));
    return true;
}

void OpenInBrowser(const QString& address)
{
    if (startFromBrowserVariable(address)) {
        return;
    }
    if (startDetached(QStringLiteral("x-www-browser"), {address})) {
        return;
    }
    startDetached(QStringLiteral("xdg-open"), {address});
}

}  // namespace qvr
