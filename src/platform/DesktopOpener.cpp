#include "DesktopOpener.h"

#include "CommandLine.h"
#include "ProcessExitWatch.h"
#include "Processes.h"
#include "Spawn.h"

#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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

// An opener's exit is told by the system; its patience by a timer of its own.
struct DesktopOpener::Opening {
    pid_t pid;
    Failed failed;  // nothing once its patience is over: it is only reaped then
    std::unique_ptr<ProcessExitWatch> exit;
    std::unique_ptr<QTimer> patience;
};

DesktopOpener::DesktopOpener(Milliseconds patience, QObject* parent)
    : QObject(parent), patience_(patience)
{
}

// Openers still running go on by themselves; they are reaped once they end.
DesktopOpener::~DesktopOpener()
{
    for (const auto& opening : openings_) {
        AdoptChild(opening->pid);
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
    auto opening = std::make_unique<Opening>();
    Opening* raw = opening.get();
    opening->pid = pid;
    opening->failed = std::move(failed);
    opening->exit = std::make_unique<ProcessExitWatch>(pid);
    connect(opening->exit.get(), &ProcessExitWatch::ended, this, [this, raw] { ended(raw); });
    opening->patience = std::make_unique<QTimer>();
    opening->patience->setSingleShot(true);
    connect(opening->patience.get(), &QTimer::timeout, this, [raw] { raw->failed = nullptr; });
    opening->patience->start(int(patience_.count()));
    openings_.push_back(std::move(opening));
}

void DesktopOpener::ended(Opening* opening)
{
    const auto it = std::find_if(openings_.begin(), openings_.end(),
                                 [opening](const auto& o) { return o.get() == opening; });
    if (it == openings_.end()) {
        return;
    }
    std::unique_ptr<Opening> done = std::move(*it);
    openings_.erase(it);
    const int status = ChildExitStatus(done->pid).value_or(127);
    // The watch is the sender of the signal being handled: it goes once control is back in the
    // event loop.
    done->exit.release()->deleteLater();
    if (done->failed && status != 0) {
        done->failed();
    }
}

}  // namespace qvr
