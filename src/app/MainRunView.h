#pragma once

#include "convert/RunView.h"

#include <QList>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QWidget;

namespace qvr {

// The controls of the main window a run shows itself in.
struct RunControls {
    QComboBox* frequencyChooser = nullptr;
    QPushButton* convertButton = nullptr;
    QPushButton* abortButton = nullptr;
    QList<QWidget*> lockedControls;  // unusable while a run goes
    QList<QMenu*> lockedMenus;
    QLabel* runCount = nullptr;
    QLabel* convertingNote = nullptr;
    QLabel* errorText = nullptr;
    QTableView* fileList = nullptr;
};

class RunAnnouncer;

// The main window as the batch run sees it.
class MainRunView : public RunView {
  public:
    explicit MainRunView(RunControls controls) : controls_(std::move(controls)) {}

    // Whoever tells the desktop how the run goes; none: nobody.
    void setAnnouncer(RunAnnouncer* announcer) { announcer_ = announcer; }

    bool frequencyChosen() const override;
    void lockControls(bool running) override;
    void showRunCount(const QString& text) override;
    void hideRunCount() override;
    void toggleConvertingNote() override;
    void hideConvertingNote() override;
    void showErrorText(const QString& text, bool visible) override;
    void showCurrentRow(int row) override;
    void jobEnded(int row, const JobResult& result) override;

  private:
    RunControls controls_;
    RunAnnouncer* announcer_ = nullptr;
};

}  // namespace qvr
