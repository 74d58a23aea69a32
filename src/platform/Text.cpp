#include "Text.h"

namespace qvr {

bool IsControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString TrimBlanksAndControls(const QString& text)
{
    const auto trimmed = [](QChar c) { return c == u' ' || IsControlCharacter(c); };
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && trimmed(text[first])) {
        ++first;
    }
    while (last > first && trimmed(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

}  // namespace qvr
