#include "Language.h"

#include "platform/FileSystem.h"
#include "platform/PathStyle.h"
#include "platform/UiLanguage.h"

namespace qvr {

QString LanguageChoiceFile(const QString& appDataDir)
{
    return IncludeBackslash(appDataDir) + subfolder(QStringLiteral("Dornevik")) +
           subfolder(QStringLiteral("Quorvane")) + QStringLiteral("LanguageIsSet.ini");
}

const QStringList& ProgramLanguages()
{
    static const QStringList codes = {QStringLiteral("GERMAN"), QStringLiteral("ENGLISH"),
                                      QStringLiteral("SPAIN"), QStringLiteral("FRANCE"),
                                      QStringLiteral("ITALIAN")};
    return codes;
}

QString ProgramLanguageForLocale(const QString& locale)
{
    static const std::pair<const char*, const char*> kByLocale[] = {
        {"de", "GERMAN"}, {"es", "SPAIN"}, {"fr", "FRANCE"}, {"it", "ITALIAN"}};
    const QString code =
        locale.section(u'.', 0, 0).section(u'@', 0, 0).section(u'_', 0, 0).toLower();
    for (const auto& [prefix, language] : kByLocale) {
        if (code == QLatin1String(prefix)) {
            return QString::fromLatin1(language);
        }
    }
    return QStringLiteral("ENGLISH");
}

QString DesktopProgramLanguage()
{
    return ProgramLanguageForLocale(UserInterfaceLocale());
}

bool StoreLanguageChoice(const QString& appDataDir, const QString& language)
{
    const QString file = LanguageChoiceFile(appDataDir);
    ForceDirectories(file.left(file.lastIndexOf(u'/') + 1));
    return WriteTextFile(file, language + QStringLiteral("\r\n"));
}

int MessageLanguageIndexOf(const QString& language)
{
    static const char* const kByIndex[] = {"GERMAN", "ENGLISH", "FRANCE", "SPAIN", "ITALIAN"};
    for (int index = 0; index < 5; ++index) {
        if (language == QLatin1String(kByIndex[index])) {
            return index;
        }
    }
    return -1;
}

}  // namespace qvr
