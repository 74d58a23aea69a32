#include "SkinnedDialog.h"

#include <QKeyEvent>

namespace qvr {

void SkinnedDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    shown_ = *colours_;
    FormShow();
    update();
}

void SkinnedDialog::keyPressEvent(QKeyEvent* event)
{
    if (!SwallowEnterAndEscape(event)) {
        QDialog::keyPressEvent(event);
    }
}

void SkinnedDialog::paintEvent(QPaintEvent*)
{
    PaintVerticalGradient(this, shown_.start, shown_.end);
}

}  // namespace qvr
