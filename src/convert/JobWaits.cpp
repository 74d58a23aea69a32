#include "JobWaits.h"

#include "platform/Host.h"

namespace qvr {
namespace {

// Short enough for a repaint and Abort to feel immediate, long enough to cost no CPU.
constexpr Milliseconds kRound(10);

}  // namespace

JobWaits::JobWaits(const Clock& clock, const bool& abortRequested)
    : clock_(clock), abortRequested_(abortRequested)
{
}

JobWaits::Stop JobWaits::until(const std::function<bool()>& done, Milliseconds deadline) const
{
    return rounds(done, deadline, true);
}

JobWaits::Stop JobWaits::work(const std::function<bool()>& done, Milliseconds deadline) const
{
    return rounds(done, deadline, false);
}

JobWaits::Stop JobWaits::rounds(const std::function<bool()>& done, Milliseconds deadline,
                                bool wait) const
{
    for (;;) {
        host().processEvents(0);
        if (abortRequested_) {
            return Stop::Aborted;
        }
        if (done()) {
            return Stop::Done;
        }
        if (clock_.now() >= deadline) {
            return Stop::TimedOut;
        }
        if (wait) {
            clock_.sleep(std::min(kRound, deadline - clock_.now()));
        }
    }
}

JobWaits::Stop JobWaits::pause(Milliseconds duration) const
{
    const Stop stop = until([] { return false; }, clock_.now() + duration);
    return stop == Stop::TimedOut ? Stop::Done : stop;
}

void JobWaits::handleEvents() const
{
    host().processEvents(0);
}

}  // namespace qvr
