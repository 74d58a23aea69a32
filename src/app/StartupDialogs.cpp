#include "StartupDialogs.h"

#include "AppSession.h"

#include "cdrip/fCDName.h"
#include "cdrip/fWizardEditTitle.h"
#include "fAboutQVR.h"
#include "fMainQVR.h"

namespace qvr {

StartupDialogs::StartupDialogs(TMainFormQVR& mainForm,
                               std::function<bool(const QString&)> openDocument)
    : mainForm_(mainForm)
{
    // The about box reads the version and the addresses that the main window's creation set.
    AboutBox = std::make_unique<TAboutBoxQVR>(AboutBoxContent{
        mainForm.Folders.ProgramFolder, mainForm.VersionText, mainForm.ProductPageAddress,
        mainForm.SupportMailAddress, std::move(openDocument), mainForm.ScalePercent});
    const AppSession& session = mainForm.session();
    CDName = std::make_unique<TCDNameForm>(mainForm.siLangDispatcher1, mainForm.ScalePercent,
                                           session.messages());
    EditTitle = std::make_unique<TEditTitleWizzard>(mainForm.ScalePercent, session.texts());
    CDName->followColours(mainForm.dialogColours());
    EditTitle->followColours(mainForm.dialogColours());
    mainForm.AboutBoxQVR = AboutBox.get();
    mainForm.CDNameForm = CDName.get();
    mainForm.EditTitleWizzard = EditTitle.get();
}

StartupDialogs::~StartupDialogs()
{
    mainForm_.AboutBoxQVR = nullptr;
    mainForm_.CDNameForm = nullptr;
    mainForm_.EditTitleWizzard = nullptr;
}

}  // namespace qvr
