// The list's columns show their texts whole where they can and shorten paths in the middle where
// they cannot, with the whole text as a tooltip; a larger window gives them more room.
#include "StartupFixture.h"
#include "support/MainFormControls.h"
#include "support/Waiting.h"

#include "app/ColumnFit.h"
#include "convert/FileListModel.h"

#include <QHeaderView>
#include <QTableView>

#include <numeric>

using namespace qvr;
using namespace qvr::test;

TEST(FitColumns, ContentFirstThenThePathsShareTheRest)
{
    using K = ColumnKind;
    const struct {
        const char* situation;
        std::vector<ColumnSpace> columns;
        int available;
        std::vector<int> widths;
    } cases[] = {
        {"design widths fill the list exactly",
         {{380, 0, K::Elides},
          {80, 20, K::FitsContent},
          {290, 0, K::Elides},
          {100, 0, K::Fixed},
          {110, 60, K::FitsContent}},
         960,
         {380, 80, 290, 100, 110}},
        {"a long status takes room from the paths",
         {{380, 0, K::Elides},
          {80, 20, K::FitsContent},
          {290, 0, K::Elides},
          {100, 0, K::Fixed},
          {110, 178, K::FitsContent}},
         960,
         {341, 80, 261, 100, 178}},
        {"a wider list gives the paths more room",
         {{380, 0, K::Elides},
          {80, 20, K::FitsContent},
          {290, 0, K::Elides},
          {100, 0, K::Fixed},
          {110, 60, K::FitsContent}},
         1630,
         {760, 80, 580, 100, 110}},
        {"a narrow list keeps half the paths' design widths and scrolls",
         {{380, 0, K::Elides},
          {80, 20, K::FitsContent},
          {290, 0, K::Elides},
          {100, 0, K::Fixed},
          {110, 60, K::FitsContent}},
         300,
         {190, 80, 145, 100, 110}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitColumns(c.columns, c.available), c.widths) << c.situation;
    }
}

class ColumnFit : public StartupFixture {
  protected:
    // A window listing one file deep in a folder tree, ended with a failure.
    std::unique_ptr<TMainFormQVR> listLongPath(QString& path)
    {
        path = home.path() + "/Music/" + QString("Deep Folder Name/").repeated(12) +
               "A Song With A Very Long Title.wav";
        writeFile(path, "x");
        auto form = start();
        form->show();
        form->FilesDropped({path});
        form->files().resetRow(0, "A Song With A Very Long Title-432 Hz.wav");
        form->files().setEnded(0, JobResult(JobOutcome::Failed, FailureReason::SourceChanged));
        QCoreApplication::processEvents();
        return form;
    }

    static int widthsTogether(const QTableView& list)
    {
        int sum = 0;
        for (int column = 0; column < FileListModel::kColumnCount; ++column) {
            sum += list.columnWidth(column);
        }
        return sum;
    }
};

TEST_F(ColumnFit, ALongPathIsShortenedInTheMiddleAndShownWholeAsATooltip)
{
    QString path;
    auto form = listLongPath(path);
    QTableView& list = *controls(*form).lvFiles;
    EXPECT_EQ(list.textElideMode(), Qt::ElideMiddle);
    const QModelIndex input = form->files().index(0, FileListModel::InputColumn);
    const QAbstractItemView& view = list;
    EXPECT_LT(list.columnWidth(FileListModel::InputColumn), view.sizeHintForColumn(0));
    EXPECT_EQ(form->files().data(input, Qt::ToolTipRole).toString(), path);
    const QModelIndex status = form->files().index(0, FileListModel::StatusColumn);
    EXPECT_EQ(form->files().data(status, Qt::ToolTipRole).toString(),
              form->files().cellText(0, FileListModel::StatusColumn));
}

TEST_F(ColumnFit, AStatusIsShownWholeAndTheColumnsFillTheList)
{
    QString path;
    auto form = listLongPath(path);
    QTableView& list = *controls(*form).lvFiles;
    const QString status = form->files().cellText(0, FileListModel::StatusColumn);
    ASSERT_GT(status.size(), 20) << status.toStdString();
    EXPECT_GE(list.columnWidth(FileListModel::StatusColumn),
              list.fontMetrics().horizontalAdvance(status));
    EXPECT_EQ(widthsTogether(list), list.viewport()->width());
}

TEST_F(ColumnFit, TheColumnsGrowWithTheWindow)
{
    QString path;
    auto form = listLongPath(path);
    QTableView& list = *controls(*form).lvFiles;
    const int inputBefore = list.columnWidth(FileListModel::InputColumn);
    const int outputBefore = list.columnWidth(FileListModel::OutputColumn);
    form->resize(form->width() + 500, form->height() + 200);
    ASSERT_TRUE(
        waitForEvents([&] { return widthsTogether(list) == list.viewport()->width(); }, 2000));
    EXPECT_GT(list.columnWidth(FileListModel::InputColumn), inputBefore + 200);
    EXPECT_GT(list.columnWidth(FileListModel::OutputColumn), outputBefore + 100);
}
