#pragma once

#include <cstdio>

namespace qvr {

// True when the stream goes to a terminal (where a progress bar may be drawn).
bool IsTerminal(std::FILE* stream);

}  // namespace qvr
