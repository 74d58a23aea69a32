#include "convert/FileListModel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace qvr;

namespace {

QStringList shown(const FileListModel& files, int row)
{
    QStringList cells;
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        cells << files.data(files.index(row, column)).toString();
    }
    return cells;
}

}  // namespace

// The list keeps what each row stands for and turns it into text only when it is shown.
TEST(FileListModel, ShowsEachRowsFactsAsText)
{
    FileListModel files;
    files.setStatusText([](const JobResult& result) {
        return result.converted() ? QStringLiteral("Fertig") : QStringLiteral("Fehler");
    });
    for (int row = 0; row < 5; ++row) {
        files.addRow(QStringLiteral("/m/%1.mp3").arg(row));
    }
    files.resetRow(1, "1-432 Hz.mp3");
    files.resetRow(2, "2-432 Hz.mp3");
    files.setStep(2, "MP3 to WAV");
    files.setProgress(2, 40);
    files.resetRow(3, "3-432 Hz.mp3");
    files.setEnded(3, JobResult(JobOutcome::Converted, FailureReason::None, "/o/3-432 Hz.mp3", 7));
    files.resetRow(4, "4-432 Hz.mp3");
    files.setProgress(4, 30);
    files.setEnded(4, JobResult(JobOutcome::Failed, FailureReason::EncoderFailed));

    EXPECT_EQ(shown(files, 0), (QStringList{"/m/0.mp3", "-", "", "0", "-"}));
    EXPECT_EQ(shown(files, 1), (QStringList{"/m/1.mp3", "-", "1-432 Hz.mp3", "0", "-"}));
    EXPECT_EQ(shown(files, 2), (QStringList{"/m/2.mp3", "-", "2-432 Hz.mp3", "40", "MP3 to WAV"}));
    EXPECT_EQ(shown(files, 3), (QStringList{"/m/3.mp3", "7", "3-432 Hz.mp3", "100", "Fertig"}));
    EXPECT_EQ(shown(files, 4), (QStringList{"/m/4.mp3", "-", "4-432 Hz.mp3", "30", "Fehler"}));

    // A new frequency takes back what the run did.
    QSignalSpy changed(&files, &FileListModel::dataChanged);
    files.resetRow(3, "3-528 Hz.mp3");
    EXPECT_EQ(shown(files, 3), (QStringList{"/m/3.mp3", "-", "3-528 Hz.mp3", "0", "-"}));
    EXPECT_EQ(changed.count(), 1);
}
