#pragma once

#include <QColor>
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qvr {

// Edits the title of one track for the ripper dialog: the caller puts the title into Edit1,
// shows the dialog and reads Edit1 back when the result is Accepted ("Weiter").
class TEditTitleWizzard : public QDialog {
    Q_OBJECT

  public:
    explicit TEditTitleWizzard(int scalePercent, QWidget* parent = nullptr);
    ~TEditTitleWizzard() override;

    int BaseHeight = 900;
    int ScalePercent = 100;

    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* WeiterBitBtn = nullptr;

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

    QColor gradientStart_;
    QColor gradientEnd_;
};

}  // namespace qvr
