#include "Clock.h"

namespace qvr {

Milliseconds SteadyClock::now() const
{
    return std::chrono::duration_cast<Milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

Clock& steadyClock()
{
    static SteadyClock clock;
    return clock;
}

std::int64_t WholeSecondsBetween(Milliseconds a, Milliseconds b)
{
    const auto distance = a > b ? a - b : b - a;
    return std::chrono::duration_cast<std::chrono::seconds>(distance).count();
}

}  // namespace qvr
