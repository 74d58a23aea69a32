#pragma once

#include "platform/NamedMutex.h"

#include <functional>
#include <memory>

namespace qvr {

class Host;

// Lets one copy of the program run per user. A second copy says "Quorvane is already started!"
// through `host` and ends with exit code 0 (through `exit`, so tests can watch it) before any
// window exists. The guard is held until the process ends.
std::unique_ptr<NamedMutex> GuardSingleInstance(Host& host, const std::function<void(int)>& exit);

}  // namespace qvr
