#include "Terminal.h"

#include <unistd.h>

namespace qvr {

bool IsTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace qvr
