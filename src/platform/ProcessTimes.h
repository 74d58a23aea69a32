#pragma once

namespace qvr {

// CPU seconds (user and system) this process has used itself, without the programs it started.
double OwnCpuSeconds();

}  // namespace qvr
