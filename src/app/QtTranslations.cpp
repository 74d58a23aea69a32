#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace qvr {

QtTranslations::~QtTranslations()
{
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

QString QtTranslations::localeFor(const QString& language)
{
    static const std::pair<const char*, const char*> kLocales[] = {
        {"GERMAN", "de"}, {"SPAIN", "es"}, {"FRANCE", "fr"}, {"ITALIAN", "it"}};
    for (const auto& [code, locale] : kLocales) {
        if (language == QLatin1String(code)) {
            return QString::fromLatin1(locale);
        }
    }
    return QStringLiteral("en");
}

bool QtTranslations::apply(const QString& language)
{
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
    }
    const bool loaded = translator_.load(QStringLiteral("qtbase_") + localeFor(language),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
    return installed_;
}

}  // namespace qvr
