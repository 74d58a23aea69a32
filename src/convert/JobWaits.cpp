#include "JobWaits.h"

namespace qvr {
namespace {

// Short enough for Abort to feel immediate, long enough to cost no CPU.
constexpr Milliseconds kRound(10);

}  // namespace

JobWaits::JobWaits(const Clock& clock, const bool& abortRequested, QObject* parent)
    : QObject(parent), clock_(clock), abortRequested_(abortRequested)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &JobWaits::round);
}

void JobWaits::until(std::function<bool()> done, Milliseconds deadline, Then then)
{
    start(std::move(done), deadline, false, std::move(then));
}

void JobWaits::work(std::function<bool()> done, Milliseconds deadline, Then then)
{
    start(std::move(done), deadline, true, std::move(then));
}

void JobWaits::pause(Milliseconds duration, Then then)
{
    until(
        [] { return false; }, clock_.now() + duration,
        [then = std::move(then)](Stop stop) { then(stop == Stop::TimedOut ? Stop::Done : stop); });
}

void JobWaits::cancel()
{
    timer_.stop();
    done_ = nullptr;
    then_ = nullptr;
}

// The first round comes from the event loop too, so an answer never arrives inside the call
// that asked for the wait.
void JobWaits::start(std::function<bool()> done, Milliseconds deadline, bool busy, Then then)
{
    done_ = std::move(done);
    deadline_ = deadline;
    busy_ = busy;
    then_ = std::move(then);
    timer_.start(0);
}

void JobWaits::round()
{
    if (abortRequested_) {
        answer(Stop::Aborted);
    } else if (done_()) {
        answer(Stop::Done);
    } else if (clock_.now() >= deadline_) {
        answer(Stop::TimedOut);
    } else {
        const Milliseconds wait =
            busy_ ? Milliseconds(0) : clock_.roundInterval(std::min(kRound, deadline_ - now()));
        timer_.start(int(wait.count()));
    }
}

void JobWaits::answer(Stop stop)
{
    Then then = std::move(then_);
    then_ = nullptr;
    done_ = nullptr;
    then(stop);
}

}  // namespace qvr
