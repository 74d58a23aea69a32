#pragma once

#include <QString>

namespace qvr {

// An output a resumed run may keep instead of converting its source again: it is there, carries
// the tuning marker of the same target frequency and is newer than its source. An interrupted
// run leaves no half-written output under a final name, so such a file is complete.
bool OutputIsCurrent(const QString& source, const QString& output, int targetHz);

}  // namespace qvr
