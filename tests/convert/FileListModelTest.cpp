#include "convert/FileListModel.h"
#include "convert/StepTexts.h"
#include "support/ShippedTexts.h"

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
    files.setStep(2, {JobStep::Kind::Decode, AudioKind::Mp3});
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

// A new run starts from waiting rows: the times, bars and statuses of the last run go, the
// output names stay.
TEST(FileListModel, ARunStartsFromWaitingRows)
{
    FileListModel files;
    for (int row = 0; row < 3; ++row) {
        files.addRow(QStringLiteral("/m/%1.wav").arg(row));
        files.resetRow(row, QStringLiteral("%1-432 Hz.wav").arg(row));
    }
    files.setEnded(0, JobResult(JobOutcome::Converted, FailureReason::None, "/o/0.wav", 3));
    files.setStep(1, {JobStep::Kind::Stretch});
    files.setProgress(1, 55);
    files.setEnded(2, JobResult(JobOutcome::Aborted));

    QSignalSpy changed(&files, &FileListModel::dataChanged);
    files.resetForRun();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(shown(files, row),
                  (QStringList{QStringLiteral("/m/%1.wav").arg(row), "-",
                               QStringLiteral("%1-432 Hz.wav").arg(row), "0", "-"}))
            << row;
    }
    EXPECT_EQ(changed.count(), 1);
}

// The list shows a job's step in the language of the run; the engine only names the step.
TEST(FileListModel, StepsAreShownInTheLanguageOfTheRun)
{
    const struct {
        const char* language;
        JobStep step;
        const char* shown;
    } cases[] = {
        {"ENGLISH", {JobStep::Kind::Decode, AudioKind::Mp3}, "MP3 to WAV"},
        {"ENGLISH", {JobStep::Kind::Encode, AudioKind::Flac}, "WAV to FLAC"},
        {"ENGLISH", {JobStep::Kind::Stretch}, "Calc. Solfeggio Freq."},
        {"GERMAN", {JobStep::Kind::Decode, AudioKind::M4a}, "M4A nach WAV"},
        {"GERMAN", {JobStep::Kind::Stretch}, "Berechne Solfeggio-Freq."},
        {"GERMAN", {JobStep::Kind::Demonstration}, "Konvertiere Hz"},
        {"SPAIN", {JobStep::Kind::Encode, AudioKind::Mp3}, "WAV a MP3"},
        {"FRANCE", {JobStep::Kind::Stretch}, "Calc. fréq. Solfeggio"},
        {"ITALIAN", {JobStep::Kind::Decode, AudioKind::Aiff}, "AIFF in WAV"},
        // A language without texts falls back to English.
        {"KLINGON", {JobStep::Kind::Encode, AudioKind::Aac}, "WAV to AAC"},
    };
    for (const auto& c : cases) {
        const ProgramTexts texts = test::shippedTexts(c.language);
        FileListModel files;
        files.setStepText([&texts](const JobStep& step) { return StepStatusText(texts, step); });
        files.addRow("/m/a.mp3");
        files.setStep(0, c.step);
        EXPECT_EQ(files.cellText(0, FileListModel::StatusColumn), QString::fromUtf8(c.shown))
            << c.language << " " << c.shown;
    }
}
