#include "FileListModel.h"

namespace qvr {

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const QVariant& value = rows_[static_cast<std::size_t>(index.row())][index.column()];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return value;
        case Qt::ToolTipRole: return index.column() == ProgressColumn ? QVariant() : value;
        default: return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return captions_[section];
}

void FileListModel::setColumnCaption(int column, const QString& caption)
{
    captions_.at(static_cast<std::size_t>(column)) = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString FileListModel::columnCaption(int column) const
{
    return captions_.at(static_cast<std::size_t>(column));
}

int FileListModel::addRow(const QString& inputPath)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back({inputPath, QStringLiteral("-"), QString(), 0, QStringLiteral("-")});
    endInsertRows();
    return row;
}

void FileListModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QVariant FileListModel::cell(int row, int column) const
{
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

QString FileListModel::cellText(int row, int column) const
{
    return cell(row, column).toString();
}

void FileListModel::setCell(int row, int column, const QVariant& value)
{
    rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = value;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

}  // namespace qvr
