#include "LanguageAddresses.h"

#include "Publisher.h"

#include <QUrl>

namespace qvr {
namespace {

struct LanguagePages {
    const char* code;
    const char* folder;
    const char* infoPage;  // nullptr: the product page tells it all
};

constexpr LanguagePages kPages[] = {
    {"GERMAN", "de", "solfeggio.html"}, {"ENGLISH", "en", "solfeggio.html"},
    {"SPAIN", "es", nullptr},           {"FRANCE", "fr", nullptr},
    {"ITALIAN", "it", nullptr},
};

QString pageAddress(const QString& programFolder, const char* folder, const char* page)
{
    return QUrl::fromLocalFile(programFolder + QStringLiteral("info/") + QLatin1String(folder) +
                               u'/' + QLatin1String(page))
        .toString(QUrl::FullyEncoded);
}

}  // namespace

LanguageAddresses AddressesForLanguage(const QString& programLanguage, const QString& programFolder)
{
    for (const LanguagePages& pages : kPages) {
        if (programLanguage != QLatin1String(pages.code)) {
            continue;
        }
        LanguageAddresses addresses;
        addresses.ProductPageAddress = pageAddress(programFolder, pages.folder, "index.html");
        addresses.InfoPageAddress = pages.infoPage != nullptr
                                        ? pageAddress(programFolder, pages.folder, pages.infoPage)
                                        : addresses.ProductPageAddress;
        addresses.SupportMailAddress = kSupportMailAddress;
        return addresses;
    }
    return {};
}

}  // namespace qvr
