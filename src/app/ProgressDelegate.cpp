#include "ProgressDelegate.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace qvr {

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const int value = index.data().toInt();
    const QRect frame = option.rect.adjusted(2, 2, -3, -3);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(option.rect, option.palette.base());
    painter->setPen(QColor(96, 128, 32));
    painter->setBrush(QColor(240, 255, 224));
    painter->drawRect(frame);
    const int filled = frame.width() * std::clamp(value, 0, 100) / 100;
    if (filled > 0) {
        // A lit cylinder: light along the middle, darker at the edges.
        QLinearGradient cylinder(frame.topLeft(), frame.bottomLeft());
        cylinder.setColorAt(0.0, QColor(100, 180, 0));
        cylinder.setColorAt(0.45, QColor(200, 255, 120));
        cylinder.setColorAt(1.0, QColor(80, 160, 0));
        painter->fillRect(QRect(frame.left() + 1, frame.top() + 1, filled - 1, frame.height() - 1),
                          cylinder);
    }
    painter->setPen(Qt::black);
    painter->drawText(frame, Qt::AlignCenter, QString::number(value) + u'%');
    painter->restore();
}

}  // namespace qvr
