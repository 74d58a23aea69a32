#pragma once

#include <chrono>
#include <cstdint>

namespace qvr {

using Milliseconds = std::chrono::milliseconds;

// A monotonic clock: elapsed times that decide anything must not jump with the wall clock.
// Tests drive their own.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual Milliseconds now() const = 0;
    // How long a timer waits in real time for a deadline `left` away on this clock. A test clock
    // moves on by a step of its own and answers at once, so a wait's timer comes back in rounds.
    virtual Milliseconds roundInterval(Milliseconds left) const { return left; }
};

class SteadyClock : public Clock {
  public:
    Milliseconds now() const override;
};

Clock& steadyClock();

// Whole seconds between two readings, counted as positive, the fraction dropped.
std::int64_t WholeSecondsBetween(Milliseconds a, Milliseconds b);

}  // namespace qvr
