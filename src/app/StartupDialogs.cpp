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
    AboutBoxContent content = mainForm.aboutBoxContent();
    content.openDocument = std::move(openDocument);
    AboutBox = std::make_unique<TAboutBoxQVR>(std::move(content));
    const AppSession& session = mainForm.session();
    CDName = std::make_unique<TCDNameForm>(&mainForm.translations(), mainForm.scalePercent(),
                                           session.messages());
    EditTitle = std::make_unique<TEditTitleWizzard>(mainForm.scalePercent(), session.texts());
    CDName->followColours(mainForm.dialogColours());
    EditTitle->followColours(mainForm.dialogColours());
    mainForm.setDialogs({AboutBox.get(), CDName.get(), EditTitle.get()});
}

StartupDialogs::~StartupDialogs()
{
    mainForm_.setDialogs({});
}

}  // namespace qvr
