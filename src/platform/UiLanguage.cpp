#include "UiLanguage.h"

#include <QByteArray>

#include <array>

namespace qvr {
namespace {

struct Language {
    const char* code;
    int primary;
    // Territories in the order of their Windows sublanguage numbers, starting at 1.
    std::array<const char*, 20> territories;
};

// The languages a desktop is commonly set to, with their Windows numbering.
constexpr Language kLanguages[] = {
    {"de", 0x07, {"DE", "CH", "AT", "LU", "LI"}},
    {"en",
     0x09,
     {"US", "GB", "AU", "CA", "NZ", "IE", "ZA", "JM", "", "BZ", "TT", "ZW", "PH", "", "", "IN",
      "MY", "SG"}},
    {"fr", 0x0C, {"FR", "BE", "CA", "CH", "LU", "MC"}},
    {"es", 0x0A, {"",   "MX", "ES", "GT", "CR", "PA", "DO", "VE", "CO", "PE",
                  "AR", "EC", "CL", "UY", "PY", "BO", "SV", "HN", "NI", "PR"}},
    {"it", 0x10, {"IT", "CH"}},
    {"pt", 0x16, {"BR", "PT"}},
    {"nl", 0x13, {"NL", "BE"}},
    {"sv", 0x1D, {"SE", "FI"}},
    {"da", 0x06, {"DK"}},
    {"nb", 0x14, {"NO"}},
    {"fi", 0x0B, {"FI"}},
    {"pl", 0x15, {"PL"}},
    {"cs", 0x05, {"CZ"}},
    {"hu", 0x0E, {"HU"}},
    {"ru", 0x19, {"RU"}},
    {"tr", 0x1F, {"TR"}},
    {"el", 0x08, {"GR"}},
    {"ja", 0x11, {"JP"}},
    {"ko", 0x12, {"KR"}},
    {"zh", 0x04, {"TW", "CN", "HK", "SG", "MO"}},
};

int sublanguage(const Language& language, const QString& territory)
{
    for (std::size_t i = 0; i < language.territories.size(); ++i) {
        const char* t = language.territories[i];
        if (t != nullptr && *t != '\0' && territory == QLatin1String(t)) {
            return static_cast<int>(i) + 1;
        }
    }
    if (language.primary == 0x0A) {
        return 3;  // Spain's modern sort is Windows' default Spanish
    }
    return 1;
}

}  // namespace

QString UserInterfaceLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty()) {
            return QString::fromLocal8Bit(value);
        }
    }
    return QString();
}

int WindowsLanguageId(const QString& locale)
{
    QString name = locale.section(u'.', 0, 0).section(u'@', 0, 0);
    if (name.isEmpty() || name == u"C" || name == u"POSIX") {
        return 0x0409;
    }
    const QString code = name.section(u'_', 0, 0).toLower();
    const QString territory = name.section(u'_', 1, 1).toUpper();
    for (const Language& language : kLanguages) {
        if (code == QLatin1String(language.code)) {
            return (sublanguage(language, territory) << 10) | language.primary;
        }
    }
    return 0x0000;
}

int UserInterfaceLanguageId()
{
    return WindowsLanguageId(UserInterfaceLocale());
}

}  // namespace qvr
