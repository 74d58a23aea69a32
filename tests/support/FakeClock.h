#pragma once

#include "platform/Clock.h"

#include <algorithm>
#include <functional>

namespace qvr::test {

// A clock the test drives: time moves only when the test or a wait's round moves it. Rounds come
// back after a real millisecond, which gives real processes a moment to go on.
class FakeClock : public Clock {
  public:
    Milliseconds now() const override { return now_; }
    // A wait's round moves the clock by one step (or less, up to its deadline) at once, and then
    // the test's hand in the wait, if any, moves.
    Milliseconds roundInterval(Milliseconds left) const override
    {
        now_ += std::min(left, kStep);
        if (onRound) {
            onRound();
        }
        return Milliseconds(1);
    }
    void advance(Milliseconds duration) { now_ += duration; }

    // Called in every round of a wait: a test's hand in it.
    std::function<void()> onRound;

  private:
    static constexpr Milliseconds kStep{10};
    mutable Milliseconds now_{1'000'000};
};

}  // namespace qvr::test
