#pragma once

#include <cmath>

namespace qvr {

// A size or place scaled by a percentage, rounded to the nearest whole pixel (halves to even).
inline int Scaled(int size, int percent)
{
    return static_cast<int>(std::nearbyint(size * static_cast<double>(percent) / 100.0));
}

}  // namespace qvr
