#include "CdHandOff.h"

#include "CdAlbumTags.h"

#include "AppSession.h"
#include "cdrip/CDRipLibrary.h"
#include "cdrip/FileNames.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "convert/CdAlbum.h"
#include "convert/ConversionEngine.h"
#include "fMainQVR.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <stdexcept>

namespace qvr {
namespace {

const QString kResultFile = QStringLiteral("RIPPERRESULT.txt");
const QString kRipCompleted = QStringLiteral("mrOK");
const QString kRipAborted = QStringLiteral("mrAbort");

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

}  // namespace

bool HasCdDrive(CDRipLibrary& library)
{
    return library.CR_Init() != kCrFailure && !library.DrivePaths().isEmpty();
}

QString TakeRipResult(const QString& folder)
{
    const QString path = folder + kResultFile;
    if (!FileExists(path)) {
        return kRipAborted;
    }
    const std::optional<QStringList> lines = ReadTextLines(path);
    // Gone in every case, so it cannot be taken for the result of a later rip.
    RemoveFile(path);
    if (!lines || lines->isEmpty()) {
        throw std::runtime_error("The rip result file holds no line");
    }
    return lines->first();
}

CdHandOff::CdHandOff(TMainFormQVR& form) : form_(form), session_(form.session())
{
    readDiscText = [] { return FirstDriveCdText(cdRipLibrary()); };
    showCdName = [](TCDNameForm& dialog) { return dialog.exec(); };
    createRipper = [&form] {
        auto ripper = std::make_unique<TRipperForm>(form.EditTitleWizzard, form.ScalePercent,
                                                    cdRipLibrary(), form.session().texts(),
                                                    form.session().host(), steadyClock(), &form);
        ripper->followColours(form.dialogColours());
        return ripper;
    };
    showRipper = [](TRipperForm& dialog) { dialog.exec(); };
}

void CdHandOff::RipCDBitBtnClick()
{
    TCDNameForm* cdName = form_.CDNameForm;
    if (cdName == nullptr || !askCdName(*cdName)) {
        form_.ComboBox1->setCurrentIndex(-1);
        form_.ComboBox1->hide();
        return;
    }
    std::unique_ptr<TRipperForm> ripper;
    try {
        ripper = createRipper();
    } catch (...) {
        showError(session_.messages(), QStringLiteral("ERROR: No CD-Drive found!"));
        return;
    }
    ConversionState& state = form_.Engine->State;
    state.CdMode = true;
    state.CdTags = {};
    session_.host().setBusyCursor(true);
    const QString cdInputFolder = CdInputFolderIn(state.DocumentsFolder);
    ForceDirectories(cdInputFolder);
    prepareWindowForRip(cdName->ComboBox1->currentIndex());
    state.CdFolder = cdInputFolder + cdName->CdName + u'/';
    ForceDirectories(state.CdFolder);
    ripper->RipFolder = state.CdFolder;
    ripper->ResultFolder = state.ProgramOutputFolder;
    try {
        ripAndConvert(*ripper, cdName->TypedName());
    } catch (...) {
        showError(session_.messages(), QStringLiteral("ERROR: No CD-ROM Drive found!"));
        restoreIdleState();
    }
}

// The disc is read before the ripper dialog exists, so that its title can be offered.
bool CdHandOff::askCdName(TCDNameForm& dialog)
{
    dialog.OfferDiscTitle(readDiscText().disc.title);
    return showCdName(dialog) == QDialog::Accepted;
}

void CdHandOff::prepareWindowForRip(int frequencyIndex)
{
    // Only the selection: the frequency is applied once the files are listed.
    form_.ComboBox1->setCurrentIndex(frequencyIndex);
    form_.ComboBox1->show();
    form_.ConvertBitBtn->hide();
    form_.OutputFolderBitBtn->hide();
    for (QPushButton* button : {form_.RipCDBitBtn, form_.OpenFolderBitBtn, form_.OpenFileBitBtn}) {
        button->setEnabled(false);
    }
}

void CdHandOff::ripAndConvert(TRipperForm& ripper, const QString& album)
{
    showRipper(ripper);
    const QString result = TakeRipResult(form_.Engine->State.ProgramOutputFolder);
    enableFileButtons();
    if (result != kRipCompleted) {
        // The ripped files stay in the CD folder; nothing is listed.
        form_.ComboBox1->hide();
        session_.host().setBusyCursor(false);
        return;
    }
    session_.host().setBusyCursor(false);
    const RippedDisc& disc = ripper.Ripped();
    reportFailedTracks(session_, disc);
    if (disc.tracks.empty()) {
        form_.ComboBox1->hide();
        return;
    }
    form_.Engine->State.CdTags = AlbumTags(album, disc);
    form_.AddFolderFiles(form_.Engine->State.CdFolder);
    form_.ComboBox1Change();
    form_.ConvertBitBtnClick();
}

void CdHandOff::enableFileButtons()
{
    for (QPushButton* button : {form_.RipCDBitBtn, form_.OpenFolderBitBtn, form_.OpenFileBitBtn}) {
        button->setEnabled(true);
    }
}

// After a failure the window is left usable: unlocked, no run, the normal cursor.
void CdHandOff::restoreIdleState()
{
    ConversionEngine& engine = *form_.Engine;
    engine.BlinkenTimer.stop();
    engine.ProgressTimer.stop();
    RunView& view = form_.runView();
    view.hideConvertingNote();
    view.hideRunCount();
    view.lockControls(false);
    enableFileButtons();
    engine.State.Idle = true;
    session_.host().setBusyCursor(false);
}

}  // namespace qvr
