#pragma once

#include "platform/Host.h"

#include <memory>

namespace qvr {

// The host of the window front end: message boxes on screen, or, with QUORVANE_MESSAGES=stderr,
// lines on standard error answered with their first button (scripted runs and tests).
std::unique_ptr<Host> MakeFrontEndHost();

}  // namespace qvr
