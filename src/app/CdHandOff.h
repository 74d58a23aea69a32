#pragma once

#include "cdrip/CdText.h"

#include <QString>

#include <functional>
#include <memory>

namespace qvr {

class AppSession;
class CDRipLibrary;
struct CdLibraries;
class TCDNameForm;
class ConversionEngine;
class RunView;
class TRipperForm;

// True when the extraction library finds at least one CD drive (a CD image counts as one).
bool HasCdDrive(CDRipLibrary& library);

// What Read CD needs of the main window.
class CdReadingWindow {
  public:
    virtual ~CdReadingWindow() = default;

    virtual AppSession& session() = 0;
    virtual ConversionEngine& engine() = 0;
    virtual RunView& runView() = 0;
    // The CD name dialog; null until the dialogs are made.
    virtual TCDNameForm* cdNameDialog() = 0;
    // The ripper dialog in the window's size, texts and colours, working over `libraries`; its
    // startFailure() tells when the extraction library cannot start.
    virtual std::unique_ptr<TRipperForm> makeRipper(CdLibraries libraries) = 0;
    // While the CD is read, the chooser shows the CD's frequency and nothing else can start.
    virtual void prepareForRip(int frequencyIndex) = 0;
    virtual void setFileButtonsEnabled(bool enabled) = 0;
    // Hides the frequency chooser; `clear` also takes back the choice.
    virtual void hideFrequencyChooser(bool clear) = 0;
    // Lists the ripped files of the folder, applies the chosen frequency and converts them.
    virtual void convertFolder(const QString& folder) = 0;
};

// Read CD on the main window: asks for the CD name and frequency, rips the marked tracks into
// the CD's folder through the ripper dialog, and after a completed rip lists the ripped files
// and converts them at once, in CD mode, with the tags of the ripped tracks in the run's state.
// Marked tracks that could not be read are named, with their reason, before the run; when none
// was read there is no run. A disc's CD-TEXT offers its title as the CD name and names the tracks.
class CdHandOff {
  public:
    explicit CdHandOff(CdReadingWindow& window);

    // The CD-TEXT of the disc the ripper dialog opens with; by default the first drive's, read
    // through the session's libraries, which the ripper dialog works over too.
    std::function<CdText()> readDiscText;
    // How the dialogs are made and shown; by default the real ones, modally.
    std::function<int(TCDNameForm&)> showCdName;
    std::function<std::unique_ptr<TRipperForm>()> createRipper;
    std::function<void(TRipperForm&)> showRipper;

    void RipCDBitBtnClick();

  private:
    bool askCdName(TCDNameForm& dialog);
    void ripAndConvert(TRipperForm& ripper, const QString& album);
    void restoreIdleState();

    CdReadingWindow& window_;
    AppSession& session_;
};

}  // namespace qvr
