#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <array>
#include <vector>

namespace qvr {

// The rows of the file list: input path, elapsed seconds ("-" until done), output name, progress
// 0..100 and status text. The engine writes it by column and row; a view shows it.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { InputColumn = 0, TimeColumn, OutputColumn, ProgressColumn, StatusColumn };
    static constexpr int kColumnCount = 5;

    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setColumnCaption(int column, const QString& caption);
    QString columnCaption(int column) const;

    // Adds a row for an input file with "-" in the time and status cells; answers its index.
    int addRow(const QString& inputPath);
    void clear();

    QVariant cell(int row, int column) const;
    QString cellText(int row, int column) const;
    void setCell(int row, int column, const QVariant& value);

  private:
    using Row = std::array<QVariant, kColumnCount>;
    std::vector<Row> rows_;
    std::array<QString, kColumnCount> captions_;
};

}  // namespace qvr
