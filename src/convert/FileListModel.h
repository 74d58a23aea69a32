#pragma once

#include "AudioFormats.h"
#include "RunView.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace qvr {

// The step of a job a row is in, as a fact: the list turns it into a text of the run's language.
struct JobStep {
    enum class Kind { None, Decode, Stretch, Encode, Demonstration };
    Kind kind = Kind::None;
    AudioKind format = AudioKind::None;  // decoded from or encoded to

    bool operator==(const JobStep&) const = default;
};

// The step in English: "MP3 to WAV", "Calc. Solfeggio Freq.", "WAV to FLAC"; empty for none.
QString EnglishStepText(const JobStep& step);

// What a row of the file list stands for. The list turns it into text only when it is shown.
struct FileRow {
    QString input;                    // the input file's path
    QString outputName;               // the output's file name; empty until a frequency is chosen
    std::optional<int> seconds;       // how long the conversion took; none until it is done
    int progress = 0;                 // 0..100
    JobStep step;                     // the step in progress; Kind::None: none
    std::optional<JobResult> result;  // how the row's job ended
};

// The rows of the file list: input path, elapsed seconds ("-" until done), output name, progress
// 0..100 and status. The engine gives each row its facts; a view shows them as text.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { InputColumn = 0, TimeColumn, OutputColumn, ProgressColumn, StatusColumn };
    static constexpr int kColumnCount = 5;
    // The status a row shows when its job has ended.
    using StatusText = std::function<QString(const JobResult&)>;
    // The status a row shows while its job is in a step.
    using StepText = std::function<QString(const JobStep&)>;

    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setColumnCaption(int column, const QString& caption);
    QString columnCaption(int column) const;
    void setStatusText(StatusText statusText);
    void setStepText(StepText stepText);

    // Adds a row for an input file, with nothing done yet; answers its index.
    int addRow(const QString& inputPath);
    void clear();

    const FileRow& row(int row) const { return rows_.at(std::size_t(row)); }
    const QString& input(int row) const { return this->row(row).input; }
    // Gives the row a new output name and takes back whatever a run did to it.
    void resetRow(int row, const QString& outputName);
    // Every row waits again, with its output name: a new run starts from a clean list.
    void resetForRun();
    void setOutputName(int row, const QString& name);
    void setStep(int row, const JobStep& step);
    void setSeconds(int row, int seconds);
    void setProgress(int row, int progress);
    // The row's job has ended; a converted row shows its time and a full bar.
    void setEnded(int row, const JobResult& result);

    // What a cell shows.
    QVariant cell(int row, int column) const;
    QString cellText(int row, int column) const;

  private:
    void changed(int row, int firstColumn, int lastColumn);
    QString statusOf(const FileRow& row) const;

    std::vector<FileRow> rows_;
    std::array<QString, kColumnCount> captions_;
    StatusText statusText_;
    StepText stepText_;
};

}  // namespace qvr
