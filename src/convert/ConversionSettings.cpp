#include "ConversionSettings.h"

#include <algorithm>

namespace qvr {

ConversionSettings StartingSettings(const ProgramPaths& paths, [[maybe_unused]] RunStyle style,
                                    int jobs)
{
    ConversionSettings settings;
    settings.paths = paths;
    // The window and the batch run alike: the checked outputs stand in for the pauses, which the
    // tools, watched as they are, do not need.
    settings.jobs = std::max(1, jobs);
    settings.designPauses = false;
    return settings;
}

}  // namespace qvr
