#pragma once

#include "convert/RunView.h"

namespace qvr {

class TMainFormQVR;

// The main window as the batch run sees it.
class MainRunView : public RunView {
  public:
    explicit MainRunView(TMainFormQVR& form) : form_(form) {}

    bool frequencyChosen() const override;
    void lockControls(bool running) override;
    void showRunCount(const QString& text) override;
    void hideRunCount() override;
    void toggleConvertingNote() override;
    void hideConvertingNote() override;
    void showErrorText(const QString& text, bool visible) override;
    void showCurrentRow(int row) override;
    void jobEnded(int, const JobResult&) override {}

  private:
    TMainFormQVR& form_;
};

}  // namespace qvr
