#pragma once

#include "AudioFormats.h"

#include <cstdint>

namespace qvr {

// The speed score of the reference machine.
constexpr int kReferenceSpeed = 20;

// A file's size in whole megabytes (10^6 bytes), halves to the even neighbour.
std::int64_t RoundedMegabytes(std::int64_t bytes);

// Seconds a file of this size and kind may take on a machine of this speed score (20 is the
// reference machine), before the floor of 600 seconds: megabytes x factor x 10 x 20 / score.
int RawEstimateSeconds(std::int64_t bytes, AudioKind kind, int pcSpeed);

// The time a try may take: the raw estimate, at least 600 seconds.
int EstimateSecondsFrom(int rawEstimate);

// A tenth of the raw estimate, at least 1: the progress bar's scale.
int ProgressScaleFrom(int rawEstimate);

// The progress bar after `ticks` ticks of `intervalMs`: ticks x interval / 150 / scale x 90.
int ProgressValue(int ticks, int intervalMs, int progressScale);

// The progress bar of a row, guessed from the estimate one tick of the progress timer at a time.
class RowProgress {
  public:
    void restart(int progressScale)
    {
        scale_ = progressScale;
        ticks_ = 0;
    }
    // The bar's value after one more tick; a short file's estimate never runs it past its end.
    int advance(int intervalMs);
    // Past 95 the bar stops guessing and waits for the row's end.
    static bool guessedToTheEnd(int value) { return value > 95; }

  private:
    int scale_ = 1;
    int ticks_ = 0;
};

}  // namespace qvr
