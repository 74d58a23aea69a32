#pragma once

#include <QObject>

#include <vector>

class QTableView;
class QTimer;

namespace qvr {

// How a column of the file list takes its width: a fixed one keeps its design width (a progress
// bar), one that fits its content gets what its header and texts need, at least its design
// width (times, statuses), and an eliding one takes a share of the rest and shortens a text too
// long for it in the middle (paths and names).
enum class ColumnKind { Fixed, FitsContent, Elides };

struct ColumnSpace {
    int design = 0;
    int needed = 0;
    ColumnKind kind = ColumnKind::Fixed;
};

// Widths that fill `available`: fixed and content-fitting columns as their kinds say; the eliding
// columns share the rest in proportion to their design widths, never less than half of them (the
// list then scrolls).
std::vector<int> FitColumns(const std::vector<ColumnSpace>& columns, int available);

// Keeps the columns of a list fitted to its content and its width: after the rows change and
// whenever the list is resized (a larger window gives the paths more room). A text that is still
// too long is shortened in the middle; the list's tooltip shows it whole.
class ColumnFitter : public QObject {
    Q_OBJECT
  public:
    ColumnFitter(QTableView* list, std::vector<int> designWidths, std::vector<ColumnKind> kinds);

    // The design widths after start-up scaling.
    void setDesignWidths(std::vector<int> designWidths);
    // Fits the columns now (it happens by itself after changes, once events are handled).
    void fit();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitSoon();
    int neededWidth(int column) const;

    QTableView* list_;
    std::vector<int> designWidths_;
    std::vector<ColumnKind> kinds_;
    QTimer* timer_;
};

}  // namespace qvr
