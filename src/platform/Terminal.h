#pragma once

#include <cstdio>

namespace qvr {

// True when the stream goes to a terminal (where a progress bar may be drawn).
bool IsTerminal(std::FILE* stream);
// The width of the stream's terminal in characters; 80 when it cannot be told.
int TerminalColumns(std::FILE* stream);

}  // namespace qvr
