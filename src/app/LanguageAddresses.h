#pragma once

#include <QString>

namespace qvr {

// The addresses the program points the user to, in the language of the run. The pages ship
// with the program (its folder's "info/"), so they open without a network.
struct LanguageAddresses {
    QString InfoPageAddress;     // about converting to the Solfeggio frequencies
    QString ProductPageAddress;  // what Quorvane does
    QString SupportMailAddress;
};

// German and English have an information page of their own beside the product page; Spanish,
// French and Italian have one page for both. Any other language code: all three empty.
LanguageAddresses AddressesForLanguage(const QString& programLanguage,
                                       const QString& programFolder);

}  // namespace qvr
