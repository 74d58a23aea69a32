#pragma once

#include "platform/PathStyle.h"

#include <QString>

namespace qvr {

// The name with its extension replaced: everything from the last "." of the file-name part is
// dropped and `extension` appended; a name without an extension simply gets it appended.
// "/m/Song.wav" with ".mp3" gives "/m/Song.mp3"; with "jitt" it gives "/m/Songjitt".
QString ChangeFileExt(const QString& name, const QString& extension,
                      PathStyle style = nativePathStyle());

// The name of the folder in `cdInputFolder` for the CD the user named `typedName`, whose
// cleaned form is `cleanedName`: the cleaned name, or the cleaned name + " (2)", " (3)" ...
// when the folder of that name belongs to a CD named otherwise. A folder of the same CD name
// is taken again (a CD read a second time), and so is a folder that tells no CD name. Names
// longer than a folder name may be are shortened.
QString CdFolderName(const QString& cdInputFolder, const QString& cleanedName,
                     const QString& typedName);

// A CD name fit for a folder: separators, punctuation and Western accents replaced, umlauts and
// sharp s spelt out, control characters removed; letters and digits of every other script, and
// other signs, stay.
QString CleanedCdName(const QString& text);

// Records in the CD's folder the name its CD was given, for CdFolderName.
bool MarkCdFolder(const QString& cdFolder, const QString& typedName);

}  // namespace qvr
