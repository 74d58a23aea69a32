#pragma once

#include <QString>

namespace qvr {

// The work folder's "LanguageIsSet.ini" for a data folder: its first line is the language of the
// run.
QString LanguageChoiceFile(const QString& appDataDir);

}  // namespace qvr
