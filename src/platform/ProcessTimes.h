#pragma once

namespace qvr {

// CPU seconds (user and system) this process has used itself, without the programs it started.
double OwnCpuSeconds();

// Seconds since this process was started by the system (not since main began).
double SecondsSinceProcessStart();

}  // namespace qvr
