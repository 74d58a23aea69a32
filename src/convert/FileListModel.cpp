#include "FileListModel.h"

namespace qvr {

QString EnglishStepText(const JobStep& step)
{
    switch (step.kind) {
        case JobStep::Kind::Decode: return KindLabel(step.format) + QStringLiteral(" to WAV");
        case JobStep::Kind::Stretch: return QStringLiteral("Calc. Solfeggio Freq.");
        case JobStep::Kind::Encode: return QStringLiteral("WAV to ") + KindLabel(step.format);
        case JobStep::Kind::Demonstration: return QStringLiteral("Convert Hz");
        case JobStep::Kind::None: break;
    }
    return QString();
}

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent),
      statusText_([](const JobResult& result) {
          return result.converted() ? QStringLiteral("Done") : OutcomeWord(result.outcome);
      }),
      stepText_(EnglishStepText)
{
}

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
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return cell(index.row(), index.column());
        case Qt::ToolTipRole:
            return index.column() == ProgressColumn ? QVariant()
                                                    : cell(index.row(), index.column());
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

void FileListModel::setStatusText(StatusText statusText)
{
    statusText_ = std::move(statusText);
    if (!rows_.empty()) {
        emit dataChanged(index(0, StatusColumn), index(rowCount() - 1, StatusColumn));
    }
}

void FileListModel::setStepText(StepText stepText)
{
    stepText_ = std::move(stepText);
    if (!rows_.empty()) {
        emit dataChanged(index(0, StatusColumn), index(rowCount() - 1, StatusColumn));
    }
}

int FileListModel::addRow(const QString& inputPath)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(FileRow{inputPath, {}, {}, 0, {}, {}});
    endInsertRows();
    return row;
}

void FileListModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FileListModel::resetRow(int row, const QString& outputName)
{
    FileRow& facts = rows_.at(std::size_t(row));
    facts = FileRow{facts.input, outputName, {}, 0, {}, {}};
    changed(row, TimeColumn, StatusColumn);
}

void FileListModel::resetForRun()
{
    for (FileRow& facts : rows_) {
        facts = FileRow{facts.input, facts.outputName, {}, 0, {}, {}};
    }
    if (!rows_.empty()) {
        emit dataChanged(index(0, TimeColumn), index(rowCount() - 1, StatusColumn));
    }
}

void FileListModel::setOutputName(int row, const QString& name)
{
    rows_.at(std::size_t(row)).outputName = name;
    changed(row, OutputColumn, OutputColumn);
}

void FileListModel::setStep(int row, const JobStep& step)
{
    rows_.at(std::size_t(row)).step = step;
    changed(row, StatusColumn, StatusColumn);
}

void FileListModel::setSeconds(int row, int seconds)
{
    rows_.at(std::size_t(row)).seconds = seconds;
    changed(row, TimeColumn, TimeColumn);
}

void FileListModel::setProgress(int row, int progress)
{
    rows_.at(std::size_t(row)).progress = progress;
    changed(row, ProgressColumn, ProgressColumn);
}

void FileListModel::setEnded(int row, const JobResult& result)
{
    FileRow& facts = rows_.at(std::size_t(row));
    facts.result = result;
    facts.step = {};
    if (result.converted()) {
        facts.seconds = result.seconds;
        facts.progress = 100;
    }
    changed(row, TimeColumn, StatusColumn);
}

QString FileListModel::statusOf(const FileRow& row) const
{
    if (row.result) {
        return statusText_(*row.result);
    }
    return row.step.kind == JobStep::Kind::None ? QStringLiteral("-") : stepText_(row.step);
}

QVariant FileListModel::cell(int row, int column) const
{
    const FileRow& facts = rows_.at(std::size_t(row));
    switch (column) {
        case InputColumn: return facts.input;
        case TimeColumn: return facts.seconds ? QVariant(*facts.seconds) : QStringLiteral("-");
        case OutputColumn: return facts.outputName;
        case ProgressColumn: return facts.progress;
        case StatusColumn: return statusOf(facts);
        default: return {};
    }
}

QString FileListModel::cellText(int row, int column) const
{
    return cell(row, column).toString();
}

void FileListModel::changed(int row, int firstColumn, int lastColumn)
{
    emit dataChanged(index(row, firstColumn), index(row, lastColumn));
}

}  // namespace qvr
