#pragma once

#include "cdrip/DialogLook.h"

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
class TEditTitleWizzard : public QDialog {
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

    // Its background follows these colours from its next showing on.
    void followColours(const DialogColours& colours) { colours_ = &colours; }
    QColor gradientStart() const { return gradientStart_; }
    QColor gradientEnd() const { return gradientEnd_; }

    void FormCreate();
    void FormShow();
    void WeiterBitBtnClick();
    void AbortBitBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void createControls();

    const ProgramTexts& texts_;
    const DialogColours* colours_ = &DefaultDialogColours();
    QColor gradientStart_;
    QColor gradientEnd_;
};

}  // namespace qvr
