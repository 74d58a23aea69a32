#pragma once

#include "platform/PathStyle.h"

#include <QString>

namespace qvr {

// The name with its extension replaced: everything from the last "." of the file-name part is
// dropped and `extension` appended; a name without an extension simply gets it appended.
// "/m/Song.wav" with ".mp3" gives "/m/Song.mp3"; with "jitt" it gives "/m/Songjitt".
QString ChangeFileExt(const QString& name, const QString& extension,
                      PathStyle style = nativePathStyle());

}  // namespace qvr
