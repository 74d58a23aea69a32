#include "CdHandOff.h"

#include "AppSession.h"
#include "CdAlbumTags.h"
#include "cdrip/CDRipLibrary.h"
#include "cdrip/FileNames.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "convert/CdAlbum.h"
#include "convert/ConversionEngine.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"

#include <QComboBox>

#include <exception>

namespace qvr {
namespace {

void showError(const MessageBoxes& messages, const QString& text)
{
    messages.show(text, MessageKind::Information, {MessageButton::OK});
}

// Every marked track that gave no file, with its reason, so that a shorter list of results does
// not pass for the whole CD.
void reportFailedTracks(const AppSession& session, const RippedDisc& disc)
{
    if (disc.failed.empty()) {
        return;
    }
    const ProgramTexts& texts = session.texts();
    QString text = texts.text(20041).arg(disc.failed.size()).arg(disc.markedCount);
    for (const FailedTrack& track : disc.failed) {
        text += u'\n' + track.title + QStringLiteral(": ") + TrackFailureText(texts, track.reason);
    }
    session.messages().show(text, MessageKind::Warning, {MessageButton::OK});
}

QString errorText(const std::exception& failure)
{
    return QStringLiteral("ERROR: ") + QString::fromUtf8(failure.what());
}

}  // namespace

bool HasCdDrive(CDRipLibrary& library)
{
    return library.findDrives() && !library.drivePaths().isEmpty();
}

CdHandOff::CdHandOff(CdReadingWindow& window) : window_(window), session_(window.session())
{
    readDiscText = [this] { return FirstDriveCdText(session_.cdLibraries().extraction); };
    showCdName = [](TCDNameForm& dialog) { return dialog.exec(); };
    createRipper = [this] { return window_.makeRipper(session_.cdLibraries()); };
    showRipper = [](TRipperForm& dialog) { dialog.exec(); };
}

void CdHandOff::RipCDBitBtnClick()
{
    TCDNameForm* cdName = window_.cdNameDialog();
    if (cdName == nullptr || !askCdName(*cdName)) {
        window_.hideFrequencyChooser(true);
        return;
    }
    const std::unique_ptr<TRipperForm> ripper = createRipper();
    if (const std::optional<CdFailure>& failure = ripper->startFailure()) {
        // The ripper component could not start on any drive; what failed comes with it.
        showError(session_.messages(),
                  QStringLiteral("ERROR: No CD-Drive found!\n") + failure->message);
        return;
    }
    ConversionEngine& engine = window_.engine();
    session_.host().setBusyCursor(true);
    const ProgramPaths& paths = engine.settings().paths;
    const QString cdInputFolder = paths.cdInputFolder();
    ForceDirectories(cdInputFolder);
    window_.prepareForRip(cdName->ComboBox1->currentIndex());
    const QString cdFolder = cdInputFolder + cdName->CdName + u'/';
    engine.startCdRun(cdFolder);
    ForceDirectories(cdFolder);
    ripper->RipFolder = cdFolder;
    try {
        ripAndConvert(*ripper, cdName->TypedName());
    } catch (const std::exception& failure) {
        // What the libraries below the conversion throw (an allocation that failed) is named as
        // it is: it is no missing drive.
        showError(session_.messages(), errorText(failure));
        restoreIdleState();
    }
}

// The disc is read before the ripper dialog exists, so that its title can be offered.
bool CdHandOff::askCdName(TCDNameForm& dialog)
{
    dialog.OfferDiscTitle(readDiscText().disc.title);
    return showCdName(dialog) == QDialog::Accepted;
}

void CdHandOff::ripAndConvert(TRipperForm& ripper, const QString& album)
{
    showRipper(ripper);
    window_.setFileButtonsEnabled(true);
    if (!ripper.RunCompleted()) {
        // The ripped files stay in the CD folder; nothing is listed.
        window_.hideFrequencyChooser(false);
        session_.host().setBusyCursor(false);
        return;
    }
    session_.host().setBusyCursor(false);
    const RippedDisc& disc = ripper.Ripped();
    reportFailedTracks(session_, disc);
    if (disc.tracks.empty()) {
        window_.hideFrequencyChooser(false);
        return;
    }
    ConversionEngine& engine = window_.engine();
    engine.setCdTags(AlbumTags(album, disc));
    window_.convertFolder(engine.cdRun()->folder);
}

// After a failure the window is left usable: unlocked, no run, the normal cursor.
void CdHandOff::restoreIdleState()
{
    ConversionEngine& engine = window_.engine();
    engine.returnToIdle();
    RunView& view = window_.runView();
    view.hideConvertingNote();
    view.hideRunCount();
    view.lockControls(false);
    window_.setFileButtonsEnabled(true);
    session_.host().setBusyCursor(false);
}

}  // namespace qvr
