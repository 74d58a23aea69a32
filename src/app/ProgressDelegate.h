#pragma once

#include <QStyledItemDelegate>

namespace qvr {

// Draws the progress column as a lime bar over the whole cell width, also at 0.
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace qvr
