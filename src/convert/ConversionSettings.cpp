#include "ConversionSettings.h"

#include <algorithm>

namespace qvr {

ConversionSettings StartingSettings(const ProgramPaths& paths, RunStyle style, int jobs)
{
    ConversionSettings settings;
    settings.paths = paths;
    const bool window = style == RunStyle::Window;
    settings.jobs = window ? 1 : std::max(1, jobs);
    settings.designPauses = window;
    return settings;
}

}  // namespace qvr
