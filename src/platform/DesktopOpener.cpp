#include "DesktopOpener.h"

#include "CommandLine.h"
#include "Processes.h"
#include "Spawn.h"

#include <QRegularExpression>
#include <QUrl>

namespace qvr {
namespace {

bool isAddress(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

// The browsers to try for an address, each as its program and arguments.
QList<QStringList> browserCommands(const QString& address)
{
    QList<QStringList> commands;
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
        commands << words;
    }
    commands << QStringList{QStringLiteral("x-www-browser"), address};
    commands << QStringList{QStringLiteral("xdg-open"), address};
    return commands;
}

}  // namespace

QString BrowserAddress(const QString& target)
{
    return isAddress(target) ? target : QUrl::fromLocalFile(target).toString(QUrl::FullyEncoded);
}

DesktopOpener::DesktopOpener(Milliseconds patience, QObject* parent)
    : QObject(parent), patience_(patience)
{
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, &DesktopOpener::check);
}

// Openers still running go on by themselves; they are reaped once they end.
DesktopOpener::~DesktopOpener()
{
    for (const Opening& opening : openings_) {
        AdoptChild(opening.pid);
    }
}

void DesktopOpener::openWithDesktop(const QString& target, Failed failed)
{
    start(QStringLiteral("xdg-open"), {target}, std::move(failed));
}

void DesktopOpener::openDocument(const QString& target)
{
    openWithDesktop(target, [this, target] { openInBrowser(BrowserAddress(target)); });
}

void DesktopOpener::openInBrowser(const QString& address)
{
    tryBrowsers(browserCommands(address));
}

void DesktopOpener::tryBrowsers(QList<QStringList> commands)
{
    if (commands.isEmpty()) {
        return;
    }
    const QStringList command = commands.takeFirst();
    start(command.first(), command.mid(1),
          [this, rest = std::move(commands)] { tryBrowsers(rest); });
}

void DesktopOpener::start(const QString& program, const QStringList& arguments, Failed failed)
{
    const QString path = FindProgram(QString(), program);
    const pid_t pid = path.isEmpty() ? -1 : SpawnHidden(path, arguments, QString());
    if (pid <= 0) {
        // Told from the event loop, as every other failure.
        QTimer::singleShot(0, this, std::move(failed));
        return;
    }
    openings_.push_back({pid, steadyClock().now(), std::move(failed)});
    timer_.start();
}

void DesktopOpener::check()
{
    std::vector<Failed> failures;
    const Milliseconds now = steadyClock().now();
    for (auto it = openings_.begin(); it != openings_.end();) {
        const std::optional<int> status = ChildExitStatus(it->pid);
        if (status) {
            if (*status != 0) {
                failures.push_back(std::move(it->failed));
            }
            it = openings_.erase(it);
        } else if (now - it->started >= patience_) {
            AdoptChild(it->pid);
            it = openings_.erase(it);
        } else {
            ++it;
        }
    }
    if (openings_.empty()) {
        timer_.stop();
    }
    for (const Failed& failed : failures) {
        failed();
    }
}

}  // namespace qvr
