#include "Estimate.h"

#include <algorithm>

namespace qvr {
namespace {

// numerator / denominator rounded to the nearest whole number, halves to the even neighbour;
// exact, so ties are recognised as ties.
std::int64_t roundHalfEven(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0)) {
        return quotient + 1;
    }
    return quotient;
}

}  // namespace

std::int64_t RoundedMegabytes(std::int64_t bytes)
{
    return roundHalfEven(std::max<std::int64_t>(bytes, 0), 1'000'000);
}

int RawEstimateSeconds(std::int64_t bytes, AudioKind kind, int pcSpeed)
{
    const KindSpec& kindRow = KindRowOf(kind);
    const std::int64_t speed = std::max(pcSpeed, 1);
    return static_cast<int>(
        roundHalfEven(RoundedMegabytes(bytes) * kindRow.estimateNumerator * 10 * 20,
                      kindRow.estimateDenominator * speed));
}

int EstimateSecondsFrom(int rawEstimate)
{
    return std::max(rawEstimate, 600);
}

int ProgressScaleFrom(int rawEstimate)
{
    return std::max<int>(static_cast<int>(roundHalfEven(rawEstimate, 10)), 1);
}

int ProgressValue(int ticks, int intervalMs, int progressScale)
{
    const std::int64_t scale = std::max(progressScale, 1);
    return static_cast<int>(
        roundHalfEven(static_cast<std::int64_t>(ticks) * intervalMs * 90, 150 * scale));
}

int RowProgress::advance(int intervalMs)
{
    return std::min(ProgressValue(ticks_++, intervalMs, scale_), 100);
}

}  // namespace qvr
