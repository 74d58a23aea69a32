// The main window's information menu and about box.
#include "LanguageAddresses.h"
#include "fAboutQVR.h"
#include "fMainQVR.h"
#include "lang/ProgramTexts.h"
#include "platform/DesktopOpener.h"

namespace qvr {

void TMainFormQVR::SetLanguageAddresses()
{
    const LanguageAddresses addresses =
        AddressesForLanguage(texts().language(), Folders.ProgramFolder);
    InfoPageAddress = addresses.InfoPageAddress;
    ProductPageAddress = addresses.ProductPageAddress;
    SupportMailAddress = addresses.SupportMailAddress;
}

// Without an address (a language code outside the five) there is nothing to open.
void TMainFormQVR::WissenswerteszumKonvertierenSolfeggioFrequenzen1Click()
{
    if (InfoPageAddress.isEmpty()) {
        return;
    }
    if (environment_.openDocument) {
        environment_.openDocument(InfoPageAddress);
    } else {
        opener_->openDocument(InfoPageAddress);
    }
}

LanguageAddresses TMainFormQVR::addresses() const
{
    return {InfoPageAddress, ProductPageAddress, SupportMailAddress};
}

AboutBoxContent TMainFormQVR::aboutBoxContent() const
{
    return {Folders.ProgramFolder, VersionText, ProductPageAddress,
            SupportMailAddress,    {},          ScalePercent};
}

void TMainFormQVR::setDialogs(const WindowDialogs& dialogs)
{
    AboutBoxQVR = dialogs.aboutBox;
    CDNameForm = dialogs.cdName;
    EditTitleWizzard = dialogs.editTitle;
}

void TMainFormQVR::mniProgrammInfo1Click()
{
    if (AboutBoxQVR != nullptr) {
        AboutBoxQVR->exec();
    }
}

}  // namespace qvr
