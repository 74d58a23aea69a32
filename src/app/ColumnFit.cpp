#include "ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace qvr {

std::vector<int> FitColumns(const std::vector<ColumnSpace>& columns, int available)
{
    std::vector<int> widths(columns.size());
    int fixed = 0;
    int elidingDesign = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        switch (columns[c].kind) {
            case ColumnKind::Elides: elidingDesign += columns[c].design; continue;
            case ColumnKind::Fixed: widths[c] = columns[c].design; break;
            case ColumnKind::FitsContent:
                widths[c] = std::max(columns[c].design, columns[c].needed);
                break;
        }
        fixed += widths[c];
    }
    const int rest = std::max(0, available - fixed);
    int given = 0;
    int lastEliding = -1;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].kind != ColumnKind::Elides || elidingDesign == 0) {
            continue;
        }
        const int share =
            static_cast<int>(static_cast<long long>(rest) * columns[c].design / elidingDesign);
        widths[c] = std::max(columns[c].design / 2, share);
        given += widths[c];
        lastEliding = static_cast<int>(c);
    }
    // The pixels lost by rounding go to the last eliding column, so the columns end at the edge.
    if (lastEliding >= 0 && given < rest) {
        widths[std::size_t(lastEliding)] += rest - given;
    }
    return widths;
}

ColumnFitter::ColumnFitter(QTableView* list, std::vector<int> designWidths,
                           std::vector<ColumnKind> kinds)
    : QObject(list),
      list_(list),
      designWidths_(std::move(designWidths)),
      kinds_(std::move(kinds)),
      timer_(new QTimer(this))
{
    list_->setTextElideMode(Qt::ElideMiddle);
    timer_->setSingleShot(true);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ColumnFitter::fit);
    list_->installEventFilter(this);
    QAbstractItemModel* model = list_->model();
    connect(model, &QAbstractItemModel::modelReset, this, &ColumnFitter::fitSoon);
    connect(model, &QAbstractItemModel::rowsInserted, this, &ColumnFitter::fitSoon);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ColumnFitter::fitSoon);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                // The progress bar ticks often and never changes what a column needs.
                for (int c = from.column(); c <= to.column(); ++c) {
                    if (kinds_.at(std::size_t(c)) == ColumnKind::FitsContent) {
                        fitSoon();
                        return;
                    }
                }
            });
}

void ColumnFitter::setDesignWidths(std::vector<int> designWidths)
{
    designWidths_ = std::move(designWidths);
    fitSoon();
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        fitSoon();
    }
    return QObject::eventFilter(watched, event);
}

void ColumnFitter::fitSoon()
{
    timer_->start();
}

int ColumnFitter::neededWidth(int column) const
{
    // Public in the item view, protected in the table view.
    const QAbstractItemView& view = *list_;
    return std::max(list_->horizontalHeader()->sectionSizeHint(column),
                    view.sizeHintForColumn(column));
}

void ColumnFitter::fit()
{
    if (!list_->isVisible()) {
        return;
    }
    std::vector<ColumnSpace> columns;
    for (std::size_t c = 0; c < designWidths_.size(); ++c) {
        const ColumnKind kind = kinds_.at(c);
        columns.push_back(
            {designWidths_[c], kind == ColumnKind::FitsContent ? neededWidth(int(c)) : 0, kind});
    }
    // The vertical scroll bar takes its room from the viewport.
    const int available = list_->viewport()->width();
    const std::vector<int> widths = FitColumns(columns, available);
    for (std::size_t c = 0; c < widths.size(); ++c) {
        list_->setColumnWidth(int(c), widths[c]);
    }
}

}  // namespace qvr
