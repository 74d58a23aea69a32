#pragma once

#include "platform/Scale.h"

#include <QString>

namespace qvr {

// Start-up scaling for large screens: 100 below a height of 900, else
// round((768 / H) x ((H / 768) x 100 - 100) + 100), halves to the even neighbour, at most 168.
int ScalePercentFor(int screenHeight);

// Size class of the skin pictures: "768", "900", "1080", "1440" or "2160" by screen height;
// "2160" above that, and whatever the height when the first argument contains "169".
QString ResolutionClassFor(int screenHeight, const QString& firstArgument);

}  // namespace qvr
