#pragma once

#include "cdrip/SkinnedDialog.h"

#include <QColor>
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qvr {

class ProgramTexts;

// Edits the title of one track for the ripper dialog: the caller puts the title into Edit1,
// shows the dialog and reads Edit1 back when the result is Accepted ("Weiter").
class TEditTitleWizzard : public SkinnedDialog {
    Q_OBJECT

  public:
    // Its captions are texts of the language of the run.
    TEditTitleWizzard(int scalePercent, const ProgramTexts& texts, QWidget* parent = nullptr);
    ~TEditTitleWizzard() override;

    int BaseHeight = 900;
    int ScalePercent = 100;

    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* WeiterBitBtn = nullptr;

    void FormCreate();
    void FormShow() override;
    // The texts of the language of the run, again after it changed.
    void ShowTexts();
    void WeiterBitBtnClick();
    void AbortBitBtnClick();

  protected:
  private:
    void createControls();

    const ProgramTexts& texts_;
};

}  // namespace qvr
