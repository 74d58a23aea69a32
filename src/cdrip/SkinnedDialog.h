#pragma once

#include "cdrip/DialogLook.h"

#include <QColor>
#include <QDialog>

namespace qvr {

// A dialog of the CD path: its background is a vertical gradient in the skin's colours, taken
// each time it is shown, and Enter and Escape do nothing (it has no default and no cancel
// button). Each showing calls the dialog's FormShow.
class SkinnedDialog : public QDialog {
    Q_OBJECT

  public:
    explicit SkinnedDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    // The background follows these colours from the next showing on.
    void followColours(const DialogColours& colours) { colours_ = &colours; }
    // The colours taken at the last showing.
    QColor gradientStart() const { return shown_.start; }
    QColor gradientEnd() const { return shown_.end; }

  protected:
    virtual void FormShow() {}

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    const DialogColours* colours_ = &DefaultDialogColours();
    DialogColours shown_;
};

}  // namespace qvr
