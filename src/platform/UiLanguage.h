#pragma once

#include <QString>

namespace qvr {

// The locale the user's interface is in: the first set of LC_ALL, LC_MESSAGES and LANG.
QString UserInterfaceLocale();

// The Windows language identifier of a locale name such as "de_CH.UTF-8" (0x0807): primary
// language in the low 10 bits, the territory's sublanguage above. "C", "POSIX" and an empty
// name are US English (0x0409); an unknown language is given the neutral identifier 0x0000.
int WindowsLanguageId(const QString& locale);

// The identifier of the user-interface locale.
int UserInterfaceLanguageId();

}  // namespace qvr
