#pragma once

#include <QString>

namespace qvr {

// Control characters: C0 (below a blank), DEL and C1.
bool IsControlCharacter(QChar c);

// The text without the blanks and control characters at its two ends.
QString TrimBlanksAndControls(const QString& text);

}  // namespace qvr
