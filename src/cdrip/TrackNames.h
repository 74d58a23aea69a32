#pragma once

#include <QString>

namespace qvr {

// Capitalises the first character of every word (accented letters too) and lowers the other
// capitals A to Z; words start after a line break, blank and ! ( , - . : ; ? \ _. Texts of
// fewer than two characters stay as they are.
QString TitleCase(const QString& text);

// The file name a track title gives, without folder and extension: "(Audio)" parts removed
// (only when the title holds it in exactly this spelling), "?" and "!" dropped, slashes made
// blanks, then title case.
QString TrackFileTitle(const QString& title);

}  // namespace qvr
