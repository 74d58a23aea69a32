#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace qvr {

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
// and converts them at once, in CD mode.
class CdHandOff {
  public:
    explicit CdHandOff(TMainFormQVR& form);

    // How the dialogs are made and shown; by default the real ones, modally.
    std::function<int(TCDNameForm&)> showCdName;
    std::function<std::unique_ptr<TRipperForm>()> createRipper;
    std::function<void(TRipperForm&)> showRipper;

    void RipCDBitBtnClick();

  private:
    void prepareWindowForRip(int frequencyIndex);
    void ripAndConvert(TRipperForm& ripper);
    void enableFileButtons();
    void restoreIdleState();

    TMainFormQVR& form_;
};

}  // namespace qvr
