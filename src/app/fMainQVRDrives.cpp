// Read CD on the main window: the button follows the CD drives, and a press hands over to the
// CD path.
#include "AppSession.h"
#include "CdHandOff.h"
#include "cdrip/CDRipLibrary.h"
#include "cdrip/FileNames.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "convert/ConversionEngine.h"
#include "fMainQVR.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/FileSystem.h"
#include "platform/MediaNotices.h"

#include <QComboBox>
#include <QPushButton>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace qvr {
namespace {

// A CD drive is there, but its device may not be opened by this user.
constexpr int kLockedDriveText = 10100;

CdDriveSurvey surveyOfThisMachine(bool libraryHasDrive)
{
    const std::vector<CdDriveNode> drives = ListCdDrives();
    return CdDriveSurvey{libraryHasDrive, !drives.empty(),
                         std::any_of(drives.begin(), drives.end(),
                                     [](const CdDriveNode& d) { return !d.readable; })};
}

}  // namespace

void TMainFormQVR::connectDriveHandlers()
{
    Media = new MediaNotices(this);
    for (const auto signal : {&MediaNotices::arrival, &MediaNotices::removal,
                              &MediaNotices::driveAdded, &MediaNotices::driveRemoved}) {
        connect(Media, signal, this, &TMainFormQVR::CdDrivesChanged);
    }
}

bool TMainFormQVR::HasCdDrive()
{
    return qvr::HasCdDrive(session_.cdLibraries().extraction);
}

CdDriveSurvey TMainFormQVR::surveyCdDrives()
{
    return environment_.surveyCdDrives ? environment_.surveyCdDrives()
                                       : surveyOfThisMachine(HasCdDrive());
}

ConversionEngine& TMainFormQVR::engine()
{
    return *Engine;
}

TCDNameForm* TMainFormQVR::cdNameDialog()
{
    return CDNameForm;
}

std::unique_ptr<TRipperForm> TMainFormQVR::makeRipper(CdLibraries libraries)
{
    auto ripper =
        std::make_unique<TRipperForm>(EditTitleWizzard, ScalePercent, libraries, session_.texts(),
                                      session_.host(), steadyClock(), this);
    ripper->followColours(dialogColours_);
    return ripper;
}

// Only the selection: the frequency is applied once the ripped files are listed.
void TMainFormQVR::prepareForRip(int frequencyIndex)
{
    ComboBox1->setCurrentIndex(frequencyIndex);
    ComboBox1->show();
    ConvertBitBtn->hide();
    OutputFolderBitBtn->hide();
    setFileButtonsEnabled(false);
}

void TMainFormQVR::setFileButtonsEnabled(bool enabled)
{
    for (QPushButton* button : {RipCDBitBtn, OpenFolderBitBtn, OpenFileBitBtn}) {
        button->setEnabled(enabled);
    }
}

void TMainFormQVR::hideFrequencyChooser(bool clear)
{
    if (clear) {
        ComboBox1->setCurrentIndex(-1);
    }
    ComboBox1->hide();
}

void TMainFormQVR::convertFolder(const QString& folder)
{
    AddFolderFiles(folder);
    ComboBox1Change();
    ConvertBitBtnClick();
}

void TMainFormQVR::FollowCdDrives()
{
    showReadCdFor(surveyCdDrives());
}

void TMainFormQVR::showReadCdFor(const CdDriveSurvey& drives)
{
    RipCDBitBtn->setVisible(drives.usable || drives.present);
    RipCDBitBtn->setToolTip(drives.lockedOut ? texts().text(kLockedDriveText) : QString());
}

// The survey starts the extraction library afresh, which the CD path is using while Read CD
// runs: a change then waits until it is over.
void TMainFormQVR::CdDrivesChanged()
{
    if (readingCd_) {
        drivesChangedWhileReading_ = true;
        return;
    }
    FollowCdDrives();
}

void TMainFormQVR::RipCDBitBtnClick()
{
    const CdDriveSurvey drives = surveyCdDrives();
    showReadCdFor(drives);
    if (!drives.usable && drives.lockedOut) {
        messages().show(texts().text(kLockedDriveText), MessageKind::Information,
                        {MessageButton::OK});
        return;
    }
    {
        const QScopedValueRollback<bool> reading(readingCd_, true);
        if (CDNameForm != nullptr) {
            CDNameForm->CdInputFolder = Engine->settings().paths.cdInputFolder();
        }
        CdReading->RipCDBitBtnClick();
        markCdFolder();
    }
    if (std::exchange(drivesChangedWhileReading_, false)) {
        FollowCdDrives();
    }
    takeWaitingPaths();
}

// The folder the CD path made for the name just given remembers that name, so that another
// CD whose name cleans to the same folder name gets a folder of its own.
void TMainFormQVR::markCdFolder()
{
    if (CDNameForm == nullptr || CDNameForm->result() != QDialog::Accepted) {
        return;
    }
    const QString folder = Engine->cdRun() != nullptr ? Engine->cdRun()->folder : QString();
    if (folder == CDNameForm->CdInputFolder + CDNameForm->CdName + u'/' &&
        DirectoryExists(folder)) {
        MarkCdFolder(folder, CDNameForm->TypedName());
    }
}

}  // namespace qvr
