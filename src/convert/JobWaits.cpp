#include "JobWaits.h"

#include "platform/Processes.h"

#include <QFileSystemWatcher>

#include <algorithm>
#include <climits>

namespace qvr {

JobWaits::JobWaits(const Clock& clock, const bool& abortRequested, QObject* parent)
    : QObject(parent), clock_(clock), abortRequested_(abortRequested)
{
    askSoon_.setSingleShot(true);
    deadlineTimer_.setSingleShot(true);
    deadlineTimer_.setTimerType(Qt::PreciseTimer);
    connect(&askSoon_, &QTimer::timeout, this, &JobWaits::ask);
    connect(&deadlineTimer_, &QTimer::timeout, this, &JobWaits::ask);
}

JobWaits::~JobWaits() = default;

void JobWaits::until(std::function<bool()> done, Milliseconds deadline, Then then)
{
    start(std::move(done), deadline, false, std::move(then));
}

void JobWaits::work(std::function<bool()> done, Milliseconds deadline, Then then)
{
    start(std::move(done), deadline, true, std::move(then));
}

void JobWaits::soon(Then then)
{
    until([] { return true; }, clock_.now(), std::move(then));
}

void JobWaits::pause(Milliseconds duration, Then then)
{
    until(
        [] { return false; }, clock_.now() + duration,
        [then = std::move(then)](Stop stop) { then(stop == Stop::TimedOut ? Stop::Done : stop); });
}

void JobWaits::cancel()
{
    askSoon_.stop();
    deadlineTimer_.stop();
    forgetSources();
    done_ = nullptr;
    then_ = nullptr;
}

void JobWaits::wakeWhenEnds(ToolProcesses& tools, ToolId tool)
{
    connections_.push_back(
        connect(&tools, &ToolProcesses::toolChanged, this, [this, tool](ToolId id) {
            if (id == tool) {
                ask();
            }
        }));
}

void JobWaits::wakeOnChangesIn(const QString& folder)
{
    auto watcher = std::make_unique<QFileSystemWatcher>(QStringList{folder});
    connect(watcher.get(), &QFileSystemWatcher::directoryChanged, this, &JobWaits::ask);
    sources_.push_back(std::move(watcher));
}

void JobWaits::wake()
{
    QMetaObject::invokeMethod(this, &JobWaits::ask, Qt::QueuedConnection);
}

// The first question comes from the event loop too, so an answer never arrives inside the call
// that asked for the wait.
void JobWaits::start(std::function<bool()> done, Milliseconds deadline, bool busy, Then then)
{
    forgetSources();
    deadlineTimer_.stop();
    done_ = std::move(done);
    deadline_ = deadline;
    busy_ = busy;
    then_ = std::move(then);
    askSoon_.start(0);
}

void JobWaits::ask()
{
    if (!then_) {
        return;  // a late wake of a wait already answered
    }
    if (abortRequested_) {
        answer(Stop::Aborted);
    } else if (done_()) {
        answer(Stop::Done);
    } else if (clock_.now() >= deadline_) {
        answer(Stop::TimedOut);
    } else if (busy_) {
        askSoon_.start(0);
    } else if (!deadlineTimer_.isActive()) {
        armDeadline();
    }
}

// On the steady clock one timer runs out at the deadline; a test clock moves in steps of its
// own, so there the timer comes back sooner and is set again.
void JobWaits::armDeadline()
{
    const Milliseconds left = clock_.roundInterval(deadline_ - clock_.now());
    deadlineTimer_.start(int(std::clamp<Milliseconds::rep>(left.count(), 0, INT_MAX)));
}

void JobWaits::answer(Stop stop)
{
    askSoon_.stop();
    deadlineTimer_.stop();
    forgetSources();
    Then then = std::move(then_);
    then_ = nullptr;
    done_ = nullptr;
    then(stop);
}

void JobWaits::forgetSources()
{
    // A source may be the sender of the signal being handled: it goes once control is back in
    // the event loop.
    for (auto& source : sources_) {
        source.release()->deleteLater();
    }
    sources_.clear();
    for (const auto& connection : connections_) {
        disconnect(connection);
    }
    connections_.clear();
}

}  // namespace qvr
