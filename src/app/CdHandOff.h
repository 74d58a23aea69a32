#pragma once

#include "cdrip/CdText.h"

#include <QString>

#include <functional>
#include <memory>

namespace qvr {

class AppSession;
class CDRipLibrary;
class TCDNameForm;
class TMainFormQVR;
class TRipperForm;

// True when the extraction library finds at least one CD drive (a CD image counts as one).
bool HasCdDrive(CDRipLibrary& library);

// The first line of the rip result file in `folder`, which is deleted after reading; "mrAbort"
// when there is no such file. Throws when the file holds no line.
QString TakeRipResult(const QString& folder);

// Read CD on the main window: asks for the CD name and frequency, rips the marked tracks into
// the CD's folder through the ripper dialog, and after a completed rip lists the ripped files
// and converts them at once, in CD mode, with the tags of the ripped tracks in the run's state.
// Marked tracks that could not be read are named, with their reason, before the run; when none
// was read there is no run. A disc's CD-TEXT offers its title as the CD name and names the tracks.
class CdHandOff {
  public:
    explicit CdHandOff(TMainFormQVR& form);

    // The CD-TEXT of the disc the ripper dialog opens with; by default the first drive's.
    std::function<CdText()> readDiscText;
    // How the dialogs are made and shown; by default the real ones, modally.
    std::function<int(TCDNameForm&)> showCdName;
    std::function<std::unique_ptr<TRipperForm>()> createRipper;
    std::function<void(TRipperForm&)> showRipper;

    void RipCDBitBtnClick();

  private:
    bool askCdName(TCDNameForm& dialog);
    void prepareWindowForRip(int frequencyIndex);
    void ripAndConvert(TRipperForm& ripper, const QString& album);
    void enableFileButtons();
    void restoreIdleState();

    TMainFormQVR& form_;
    AppSession& session_;
};

}  // namespace qvr
