// The ripper dialog over the real extraction library, on CUE/BIN images made here.

#include "CdImage.h"
#include "FakeLibraries.h"
#include "RipperRuns.h"
#include "cdrip/CDRIP.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/TrackNames.h"
#include "cdrip/fRipper.h"
#include "cdrip/fWizardEditTitle.h"
#include "platform/FileSystem.h"
#include "platform/MediaNotices.h"
#include "support/FakeClock.h"
#include "support/RecordingHost.h"
#include "support/ShippedTexts.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <iterator>
#include <vector>

using namespace qvr;
using qvr::test::afterEveryChunk;
using qvr::test::CdImage;
using qvr::test::ImageTrack;

TEST(TrackFileTitle, FollowsTheTitleRules)
{
    const struct {
        const char* title;
        const char* file;
    } cases[] = {
        {"what's up? / live!", "What's Up   Live"},
        {"x (Audio) (AUDIO)", "X  "},
        {"x (audio)", "X (Audio)"},
        {"Intro (Audio)", "Intro "},
        {"don't stop", "Don't Stop"},
        {"2nd take", "2nd Take"},
        {"rock-n-roll", "Rock-N-Roll"},
        {"\xC3\x89T\xC3\x89", "\xC3\x89t\xC3\x89"},     // ÉTÉ gives ÉtÉ
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89t\xC3\xA9"},     // été gives Été
        {"back\\slash_and.dot", "Back Slash_And.Dot"},  // the blank starts a word, so does "_"
        {"a", "a"},
        {"", ""},
        {"LOUD", "Loud"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrackFileTitle(QString::fromUtf8(c.title)), QString::fromUtf8(c.file)) << c.title;
    }
    EXPECT_EQ(TitleCase(QStringLiteral("A")), QStringLiteral("A"));
    EXPECT_EQ(TitleCase(QStringLiteral("mICRO \u00B5m")), QStringLiteral("Micro \u00B5m"));
}

namespace {

// Double-clicks the list where the highlighted track is, or on its empty end when none is.
void doubleClickHighlighted(TRipperForm& form)
{
    QListWidget* list = form.CheckListBox1;
    const QListWidgetItem* item = list->selectedItems().isEmpty() ? nullptr : list->currentItem();
    const QPoint where = item != nullptr ? list->visualItemRect(item).center()
                                         : QPoint(4, list->viewport()->height() - 4);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, where);
}

}  // namespace

class RipperDialog : public ::testing::Test {
  protected:
    test::TempHome home;
    test::RecordingHost recorder;
    ProgramTexts texts = test::shippedTexts();
    test::FakeClock clock;
    QString folder = home.path() + QStringLiteral("/");
    QString rips = folder + QStringLiteral("rips/");
    CdioRipLibrary library;
    TEditTitleWizzard titles{100, texts};

    void SetUp() override { ForceDirectories(rips); }

    CdImage insert(int tracks, int sectors = 20)
    {
        const CdImage image =
            test::writeCdImage(folder, QStringLiteral("disc"),
                               std::vector<ImageTrack>(tracks, {true, sectors, 440.0}));
        home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
        return image;
    }

    // The dialog with the image's drive selected and read, as after the delayed re-read.
    std::unique_ptr<TRipperForm> open(const CdImage& image)
    {
        auto form = std::make_unique<TRipperForm>(&titles, 100, CdLibraries{library}, texts,
                                                  recorder, clock);
        form->RipFolder = rips;
        const int drive = form->DriveComboBox->findText(image.cuePath, Qt::MatchEndsWith);
        form->DriveComboBox->setCurrentIndex(drive);
        emit form->DriveComboBox->activated(form->DriveComboBox->currentIndex());
        form->Timer1Timer();
        return form;
    }

    QStringList entries(const TRipperForm& form) const
    {
        QStringList texts;
        for (int i = 0; i < form.CheckListBox1->count(); ++i) {
            texts << form.CheckListBox1->item(i)->text();
        }
        return texts;
    }

    void check(TRipperForm& form, int row, bool on)
    {
        form.CheckListBox1->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    // How the dialog tells its caller the run ended; nothing while it has not closed.
    static QString ending(const TRipperForm& form)
    {
        if (form.result() != QDialog::Accepted) {
            return {};
        }
        return form.RunCompleted() ? QStringLiteral("completed") : QStringLiteral("aborted");
    }

    static std::vector<int> rippedNumbers(const TRipperForm& form)
    {
        std::vector<int> numbers;
        for (const RippedTrack& track : form.Ripped().tracks) {
            numbers.push_back(track.number);
        }
        return numbers;
    }

    // "number title reason" of every failed track.
    static QStringList failures(const TRipperForm& form)
    {
        QStringList texts;
        for (const FailedTrack& track : form.Ripped().failed) {
            texts << QStringLiteral("%1 %2 %3")
                         .arg(track.number)
                         .arg(track.title, TrackFailureText(test::shippedTexts(), track.reason));
        }
        return texts;
    }

    QString ripped(int track) const
    {
        return rips + QStringLiteral("Track%1.wav").arg(track, 2, 10, QLatin1Char('0'));
    }
};

TEST_F(RipperDialog, ListsTheDrivesAndTheDiscsTracksAllChecked)
{
    const CdImage image = insert(3);
    auto form = open(image);

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvane CD-Ripper"));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    form->show();
    EXPECT_FALSE(form->close());  // only Abort and the end of a run close it
    EXPECT_TRUE(form->isVisible());
    const QString entry = form->DriveComboBox->currentText();
    EXPECT_TRUE(entry.startsWith(form->CDRIP1->CDRomID() + QStringLiteral("- ")));
    EXPECT_TRUE(entry.endsWith(QStringLiteral("- ") + image.cuePath)) << entry.toStdString();
    EXPECT_EQ(entries(*form), (QStringList{QStringLiteral("Track01"), QStringLiteral("Track02"),
                                           QStringLiteral("Track03")}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->CheckListBox1->item(i)->checkState(), Qt::Checked);
    }
    EXPECT_TRUE(form->StartBitBtn->isEnabled());
    EXPECT_TRUE(form->ChangeTitleBitBtn->isEnabled());
    EXPECT_EQ(form->Label1->text(), texts.text(20001));
    EXPECT_EQ(form->GroupBox1->title(), texts.text(20005));
    EXPECT_EQ(form->UnChooseAllBitBtn->text(), texts.text(20035));
    EXPECT_EQ(form->ChangeTitleBitBtn->text(), texts.text(22034));
    EXPECT_EQ(form->Timer1->interval(), 1500);

    QTest::mouseClick(form->UnChooseAllBitBtn, Qt::LeftButton);
    EXPECT_FALSE(form->StartBitBtn->isEnabled());
    EXPECT_TRUE(form->ChooseAllBitBtn->isEnabled());
}

TEST_F(RipperDialog, CdTextTitlesAreListedAndRippedUnderTheFileNameRules)
{
    const CdImage image = test::writeCdImage(
        folder, QStringLiteral("named"),
        {{true, 20, 440.0, 1.5, {QStringLiteral("what's up? / live!"), QStringLiteral("Solo")}},
         {true, 20, 440.0, 1.5, {}},
         {true, 20, 440.0, 1.5, {QStringLiteral("Third"), QString()}},
         {true, 20, 440.0, 1.5, {QStringLiteral("Fourth"), QStringLiteral("Guest")}}},
        {QStringLiteral("Greatest Hits"), QStringLiteral("The Band")});
    home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    auto form = open(image);
    EXPECT_EQ(entries(*form),
              (QStringList{QStringLiteral("what's up? / live!"), QStringLiteral("Track02"),
                           QStringLiteral("Third"), QStringLiteral("Fourth")}));

    check(*form, 2, false);
    form->showTitleDialog = [](TEditTitleWizzard& dialog) {
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("Fourth"));
        dialog.Edit1->setText(QStringLiteral("Last One "));
        return static_cast<int>(QDialog::Accepted);
    };
    form->CheckListBox1->setCurrentRow(3);
    QTest::mouseClick(form->ChangeTitleBitBtn, Qt::LeftButton);
    ASSERT_TRUE(test::runToItsEnd(*form));

    const RippedDisc& disc = form->Ripped();
    EXPECT_EQ(disc.trackCount, 4);
    EXPECT_EQ(disc.performer, QStringLiteral("The Band"));
    const struct {
        int number;
        const char* title;
        const char* performer;
        const char* file;
    } expected[] = {{1, "what's up? / live!", "Solo", "What's Up   Live.wav"},
                    {2, "Track02", "", "Track02.wav"},
                    {4, "Last One", "Guest", "Last One.wav"}};
    ASSERT_EQ(disc.tracks.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const RippedTrack& track = disc.tracks[i];
        EXPECT_EQ(track.number, expected[i].number);
        EXPECT_EQ(track.title, QString::fromLatin1(expected[i].title));
        EXPECT_EQ(track.performer, QString::fromLatin1(expected[i].performer));
        EXPECT_EQ(track.wavPath, rips + QString::fromLatin1(expected[i].file));
        EXPECT_TRUE(FileExists(track.wavPath)) << expected[i].file;
    }
    EXPECT_FALSE(FileExists(rips + QStringLiteral("Third.wav")));
}

TEST_F(RipperDialog, TwoTitlesGivingOneFileNameLeaveTheLaterTrack)
{
    auto form = open(insert(3));
    form->CheckListBox1->item(0)->setText(QStringLiteral("same"));
    form->CheckListBox1->item(2)->setText(QStringLiteral("SAME"));
    ASSERT_TRUE(test::runToItsEnd(*form));
    EXPECT_EQ(rippedNumbers(*form), (std::vector<int>{2, 3}));
    EXPECT_EQ(form->Ripped().tracks.back().wavPath, rips + QStringLiteral("Same.wav"));
}

TEST_F(RipperDialog, TheOnlyDriveIsReadByTheDelayedReRead)
{
    insert(2);
    TRipperForm form(&titles, 100, {library}, texts, recorder, clock);
    if (library.drivePaths().size() != 1) {
        GTEST_SKIP() << "the machine has CD drives of its own";
    }
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.CheckListBox1->count(), 0);
    form.Timer1Timer();
    EXPECT_EQ(form.CheckListBox1->count(), 2);
    EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(RipperDialog, ReReadKeepsTheHighlightButDropsEditedTitlesAndMarks)
{
    auto form = open(insert(3));
    form->CheckListBox1->item(1)->setText(QStringLiteral("Edited"));
    check(*form, 2, false);
    form->CheckListBox1->setCurrentRow(1);
    form->Timer1Timer();
    EXPECT_EQ(entries(*form).at(1), QStringLiteral("Track02"));
    EXPECT_EQ(form->CheckListBox1->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(form->CheckListBox1->currentRow(), 1);
}

struct MarkedRun {
    int tracks;
    std::vector<int> unchecked;  // rows
    std::vector<int> rippedTracks;
    QStringList totals;
};

class RipperRun : public RipperDialog, public ::testing::WithParamInterface<MarkedRun> {};

TEST_P(RipperRun, RipsTheCheckedTracksWithTheirOwnNumbers)
{
    const MarkedRun& run = GetParam();
    const CdImage image = insert(run.tracks);
    auto form = open(image);
    for (int row : run.unchecked) {
        check(*form, row, false);
    }
    QStringList totals;
    const auto noteTotal = [&] {
        if (totals.isEmpty() || totals.back() != form->TotalLabel->text()) {
            totals << form->TotalLabel->text();
        }
    };
    afterEveryChunk(*form, noteTotal);
    form->TotalLabel->clear();
    ASSERT_TRUE(test::runToItsEnd(*form));
    noteTotal();

    totals.removeAll(QString());
    EXPECT_EQ(totals, run.totals);
    for (int track = 1; track <= run.tracks; ++track) {
        const bool wanted = std::count(run.rippedTracks.begin(), run.rippedTracks.end(), track) > 0;
        ASSERT_EQ(FileExists(ripped(track)), wanted) << track;
        if (wanted) {
            // The track's own samples behind the 44-byte header.
            EXPECT_EQ(test::readFile(ripped(track)).mid(44), image.trackBytes(track)) << track;
        }
    }
    EXPECT_EQ(ending(*form), QStringLiteral("completed"));
    EXPECT_FALSE(form->Ripping);
    EXPECT_FALSE(recorder.busy);
    EXPECT_EQ(form->ProgressBar2->value(), 0);
    EXPECT_GE(clock.now(), Milliseconds{1'000'500});  // the pause before closing
}

INSTANTIATE_TEST_SUITE_P(
    Marks, RipperRun,
    ::testing::Values(MarkedRun{5, {1, 2}, {1, 4, 5}, {"Total 33%", "Total 67%", "Total 100%"}},
                      MarkedRun{8,
                                {},
                                {1, 2, 3, 4, 5, 6, 7, 8},
                                {"Total 12%", "Total 25%", "Total 38%", "Total 50%", "Total 62%",
                                 "Total 75%", "Total 88%", "Total 100%"}}));

TEST_F(RipperDialog, AbortDuringTheThirdTrackStopsTheRunAndCloses)
{
    auto form = open(insert(5, 60));
    form->show();
    // A click between two chunks of the third track.
    bool clicked = false;
    afterEveryChunk(*form, [&] {
        if (!clicked && form->CheckListBox1->currentRow() == 2) {
            clicked = true;
            QTimer::singleShot(0, form->AbortBitBtn, &QPushButton::click);
        }
    });
    ASSERT_TRUE(test::runToItsEnd(*form));

    EXPECT_EQ(ending(*form), QStringLiteral("aborted"));
    EXPECT_TRUE(FileExists(ripped(2)));
    EXPECT_FALSE(FileExists(ripped(3)));  // stopped part-way: no file under its name
    EXPECT_FALSE(FileExists(PartialRipName(ripped(3))));
    EXPECT_FALSE(FileExists(ripped(4)));
    EXPECT_FALSE(FileExists(ripped(5)));
    EXPECT_TRUE(form->Aborted);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(rippedNumbers(*form), (std::vector<int>{1, 2}));  // not the stopped third
}

TEST_F(RipperDialog, ARunStartedInTheModalLoopEndsIt)
{
    auto form = open(insert(2));
    QTimer::singleShot(0, form.get(), [&] { form->StartBitBtn->click(); });
    form->exec();
    EXPECT_EQ(ending(*form), QStringLiteral("completed"));
    EXPECT_TRUE(FileExists(ripped(2)));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(RipperDialog, AbortWhileIdleWritesAbortAndCloses)
{
    auto form = open(insert(2));
    form->show();
    QTest::mouseClick(form->AbortBitBtn, Qt::LeftButton);
    EXPECT_EQ(ending(*form), QStringLiteral("aborted"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(FileExists(ripped(1)));
}

TEST_F(RipperDialog, AFailedTrackLeavesTheDialogOpenUntilAbort)
{
    auto form = open(insert(2));
    form->RipFolder = folder + QStringLiteral("missing/");
    form->show();
    ASSERT_TRUE(test::runToItsEnd(*form));

    ASSERT_EQ(recorder.plainMessages.size(), 1);
    EXPECT_TRUE(recorder.plainMessages[0].contains(QStringLiteral("Track01.wav")));
    EXPECT_EQ(ending(*form), QString());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Ripping);
    EXPECT_TRUE(recorder.busy);
    for (QPushButton* b : {form->StartBitBtn, form->ChooseAllBitBtn, form->UnChooseAllBitBtn,
                           form->ChangeTitleBitBtn}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
    EXPECT_TRUE(form->AbortBitBtn->isEnabled());

    QTest::mouseClick(form->AbortBitBtn, Qt::LeftButton);
    EXPECT_EQ(ending(*form), QStringLiteral("aborted"));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(RipperDialog, ARenamedTitleNamesTheTrackFile)
{
    auto form = open(insert(2));
    form->showTitleDialog = [](TEditTitleWizzard& dialog) {
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("Track01"));
        dialog.Edit1->setText(QStringLiteral("  what's up? / live!\t"));
        return static_cast<int>(QDialog::Accepted);
    };
    form->CheckListBox1->setCurrentRow(0);
    QTest::mouseClick(form->ChangeTitleBitBtn, Qt::LeftButton);
    EXPECT_EQ(entries(*form).at(0), QStringLiteral("what's up? / live!"));
    EXPECT_EQ(form->CheckListBox1->item(0)->checkState(), Qt::Checked);

    bool writtenDuringTheRip = false;
    afterEveryChunk(*form, [&] {
        writtenDuringTheRip =
            writtenDuringTheRip ||
            (form->Ripping && FileExists(rips + QStringLiteral("What's Up   Live.wav")));
    });
    ASSERT_TRUE(test::runToItsEnd(*form));
    EXPECT_TRUE(writtenDuringTheRip);
    EXPECT_TRUE(FileExists(rips + QStringLiteral("What's Up   Live.wav")));
    EXPECT_TRUE(FileExists(ripped(2)));
}

TEST_F(RipperDialog, TitleEditingNeedsAHighlightedEntryAndKeepsTheTitleOnCancel)
{
    auto form = open(insert(2));
    int shown = 0;
    form->showTitleDialog = [&](TEditTitleWizzard& dialog) {
        ++shown;
        dialog.Edit1->setText(QStringLiteral("Other"));
        return static_cast<int>(QDialog::Rejected);
    };
    form->CheckListBox1->clearSelection();
    QTest::mouseClick(form->ChangeTitleBitBtn, Qt::LeftButton);
    EXPECT_EQ(recorder.plainMessages, QStringList{texts.text(22101)});
    doubleClickHighlighted(*form);
    EXPECT_EQ(shown, 0);

    form->CheckListBox1->setCurrentRow(1);
    doubleClickHighlighted(*form);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(entries(*form).at(1), QStringLiteral("Track02"));
}

TEST_F(RipperDialog, TrackProgressResetsAtTheEndOfEachTrack)
{
    auto form = open(insert(1));
    form->CDRIP1Progress(nullptr, 37);
    EXPECT_EQ(form->ProgressBar1->value(), 37);
    EXPECT_EQ(form->TrackLabel->text(), QStringLiteral("Track 37%"));
    form->CDRIP1Progress(nullptr, 100);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(form->TrackLabel->text(), QStringLiteral("Track 0%"));
    form->CDRIP1Progress(nullptr, 50);
    form->CDRIP1EndTrack(nullptr, 1);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
}

TEST_F(RipperDialog, MediaNoticesRefillOrEmptyTheList)
{
    auto form = open(insert(3));
    emit form->Media->removal(QString());
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(form->StartBitBtn->isEnabled());

    emit form->Media->arrival(QString());
    EXPECT_TRUE(form->Timer1->isActive());
    form->Timer1Timer();
    EXPECT_EQ(form->CheckListBox1->count(), 3);
}

TEST_F(RipperDialog, ChangesDuringARunWaitUntilItIsOver)
{
    auto form = open(insert(4));
    int listed = -1;
    afterEveryChunk(*form, [&] {
        if (form->Ripping && listed < 0) {
            emit form->Media->removal(QString());
            emit form->DriveComboBox->activated(form->DriveComboBox->currentIndex());
            form->Timer1Timer();
            emit form->Media->removal(QString());
            listed = form->CheckListBox1->count();
        }
    });
    ASSERT_TRUE(test::runToItsEnd(*form));

    EXPECT_EQ(listed, 4);
    for (int track = 1; track <= 4; ++track) {
        EXPECT_TRUE(FileExists(ripped(track))) << track;
    }
    EXPECT_EQ(ending(*form), QStringLiteral("completed"));
    EXPECT_EQ(form->CheckListBox1->count(), 0);  // the last notice, a removal, applied after
}

TEST_F(RipperDialog, AnArrivalAfterARemovalDuringARunRefillsTheList)
{
    auto form = open(insert(2));
    bool noticed = false;
    afterEveryChunk(*form, [&] {
        if (form->Ripping && !noticed) {
            noticed = true;
            emit form->Media->removal(QString());
            emit form->Media->arrival(QString());
        }
    });
    ASSERT_TRUE(test::runToItsEnd(*form));
    EXPECT_TRUE(FileExists(ripped(2)));
    form->Timer1Timer();
    EXPECT_EQ(form->CheckListBox1->count(), 2);
}

TEST_F(RipperDialog, StartWithNothingCheckedRipsNothingAndTellsNothing)
{
    auto form = open(insert(2));
    emit form->Media->removal(QString());
    ASSERT_TRUE(test::runToItsEnd(*form));
    EXPECT_EQ(ending(*form), QString());
    EXPECT_FALSE(form->Ripping);
    EXPECT_FALSE(recorder.busy);
}

// Space on an entry, the marking buttons and the program itself all change check marks; Start
// follows every one of them.
TEST_F(RipperDialog, StartFollowsTheCheckMarksWhateverChangesThem)
{
    auto form = open(insert(3));
    form->show();
    QListWidget* list = form->CheckListBox1;
    const auto space = [list](int row) {
        return [list, row] {
            list->setCurrentRow(row);
            QTest::keyClick(list, Qt::Key_Space);
        };
    };
    const struct {
        const char* action;
        std::function<void()> act;
        std::vector<bool> checked;
    } steps[] = {
        {"Space on the first", space(0), {false, true, true}},
        {"Space on the second", space(1), {false, false, true}},
        {"Space on the third", space(2), {false, false, false}},
        {"Space on the third again", space(2), {false, false, true}},
        {"Select none", [&] { form->UnChooseAllBitBtn->click(); }, {false, false, false}},
        {"Select all", [&] { form->ChooseAllBitBtn->click(); }, {true, true, true}},
        {"program",
         [&] {
             for (int row = 0; row < 3; ++row) {
                 check(*form, row, false);
             }
         },
         {false, false, false}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.action);
        step.act();
        bool any = false;
        for (int row = 0; row < 3; ++row) {
            const bool checked = list->item(row)->checkState() == Qt::Checked;
            EXPECT_EQ(checked, step.checked[static_cast<std::size_t>(row)]) << row;
            any = any || checked;
        }
        EXPECT_EQ(form->StartBitBtn->isEnabled(), any);
    }
    form->StartBitBtn->click();
    EXPECT_EQ(ending(*form), QString());
    EXPECT_FALSE(FileExists(ripped(1)));
}

// A sheet that cannot be followed, or one whose data file is a folder or missing, leaves the
// drive listed without tracks and says why, naming the file; the test process lives on.
TEST_F(RipperDialog, ADiscThatCannotBeReadShowsNoTracksAndSaysWhy)
{
    const QByteArray track = "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    enum class DataFile { Bin, Folder, Missing };
    using enum DataFile;
    const struct {
        const char* sheet;
        QByteArray lines;
        DataFile data;
        int tracks;
        int text;  // the notice's text: the sheet or the data file named in it
    } cases[] = {
        {"as it should be", track, Bin, 1, 20040},
        {"an unknown command", track + "  FROBNICATE 1\n", Bin, 0, 20049},
        {"index 99", "  TRACK 01 AUDIO\n    INDEX 99 99:99:99\n", Bin, 0, 20049},
        {"frame 75", "  TRACK 01 AUDIO\n    INDEX 01 00:00:75\n", Bin, 0, 20049},
        {"a long remark", "REM " + QByteArray(5000, 'x') + "\n" + track, Bin, 0, 20049},
        {"a lone track", "  TRACK 01 AUDIO\n", Bin, 0, 20049},
        {"data in a folder", track, Folder, 0, 20046},
        {"no data file", track, Missing, 0, 20045},
    };
    const CdImage good = insert(1);
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet);
        CdImage image;
        image.cuePath = folder + QStringLiteral("sheet%1.cue").arg(n);
        const QString binPath = folder + QStringLiteral("sheet%1.bin").arg(n++);
        const QByteArray file = "FILE \"" + QFileInfo(binPath).fileName().toUtf8() + "\" BINARY\n";
        test::writeFile(image.cuePath, file + c.lines);
        if (c.data == Folder) {
            ForceDirectories(binPath);
        } else if (c.data == Bin) {
            test::writeFile(binPath, good.bin);
        }
        home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
        auto form = open(image);

        EXPECT_EQ(form->CheckListBox1->count(), c.tracks);
        EXPECT_EQ(form->DiscNoticeLabel->isHidden(), c.tracks > 0);
        const QString named = c.text == 20049 ? image.cuePath : binPath;
        EXPECT_FALSE(texts.text(c.text).isEmpty());
        EXPECT_EQ(form->DiscNoticeLabel->text(),
                  c.tracks > 0 ? texts.text(20040) : texts.text(c.text).arg(named));
        EXPECT_EQ(form->StartBitBtn->isEnabled(), c.tracks > 0);
        EXPECT_TRUE(form->DriveComboBox->currentText().endsWith(image.cuePath));
    }
}

TEST_F(RipperDialog, ARunRemovesTheTrackFilesOfEarlierRuns)
{
    auto form = open(insert(2));
    const QStringList earlier = {"Track09.wav", "Old Song.WAV", "Take.pcm", ".Track03.wav.part"};
    const QStringList others = {"cover.jpg", "keep.mp3"};
    for (const QString& name : earlier + others) {
        test::writeFile(rips + name, "earlier");
    }
    ASSERT_TRUE(test::runToItsEnd(*form));
    for (const QString& name : earlier) {
        EXPECT_FALSE(FileExists(rips + name)) << name.toStdString();
    }
    for (const QString& name : others) {
        EXPECT_TRUE(FileExists(rips + name)) << name.toStdString();
    }
    EXPECT_TRUE(FileExists(ripped(1)));
    EXPECT_TRUE(FileExists(ripped(2)));
}

// The image file ends inside the second of three tracks: the run goes through the list, rips
// what is there and names the rest with their reason.
TEST_F(RipperDialog, TracksAShortImageCannotHoldAreNamedAsFailed)
{
    const CdImage image = insert(3, 40);
    test::writeFile(image.binPath, image.bin.left(60 * 2352));
    auto form = open(image);
    ASSERT_EQ(form->CheckListBox1->count(), 3);
    ASSERT_TRUE(test::runToItsEnd(*form));

    EXPECT_EQ(ending(*form), QStringLiteral("completed"));
    EXPECT_EQ(rippedNumbers(*form), std::vector<int>{1});
    const QString reason = TrackFailureText(test::shippedTexts(), TrackFailure::ReadError);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(failures(*form), (QStringList{"2 Track02 " + reason, "3 Track03 " + reason}));
    EXPECT_EQ(form->Ripped().markedCount, 3);
    EXPECT_EQ(form->CheckListBox1->item(1)->toolTip(), reason);
    EXPECT_EQ(form->CheckListBox1->item(1)->foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(form->CheckListBox1->item(0)->toolTip().isEmpty());
    EXPECT_EQ(QDir(rips).entryList(QDir::Files | QDir::Hidden), QStringList{"Track01.wav"});
}

// A drive the scripted library answers for: a read error or the disc taken out in the middle of
// the second track.
TEST_F(RipperDialog, AReadErrorOrARemovedDiscFailsTheTracksItReaches)
{
    const struct {
        const char* situation;
        std::function<void(test::FakeCDRipLibrary&, int row)> during;
        QStringList failed;
    } cases[] = {
        {"read error in the second track",
         [](test::FakeCDRipLibrary& fake, int row) {
             fake.chunks[1].result =
                 row == 1 ? ReadChunkResult::Failed : ReadChunkResult::LastChunk;
         },
         {"2 Track02 " + TrackFailureText(test::shippedTexts(), TrackFailure::ReadError)}},
        {"disc taken out in the second track",
         [](test::FakeCDRipLibrary& fake, int row) { fake.discIn = row != 1; },
         {"2 Track02 " + TrackFailureText(test::shippedTexts(), TrackFailure::DiscRemoved),
          "3 Track03 " + TrackFailureText(test::shippedTexts(), TrackFailure::DiscRemoved)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        DeleteFilesByMask(rips + QStringLiteral("*"));
        test::FakeCDRipLibrary fake;
        fake.paths = {QStringLiteral("/dev/sr7")};
        fake.drives[0].disc =
            DiscToc{DiscState::Read, {{0, true}, {10, true}, {20, true}}, 30, {}, {}};
        fake.chunks = {test::FakeChunk{ReadChunkResult::Chunk, QByteArray(2352, 'a')},
                       test::FakeChunk{ReadChunkResult::LastChunk, QByteArray(2352, 'b')}};
        TRipperForm form(&titles, 100, {fake}, texts, recorder, clock);
        form.RipFolder = rips;
        form.Timer1Timer();
        ASSERT_EQ(form.CheckListBox1->count(), 3);
        afterEveryChunk(form, [&] {
            if (form.Ripping) {
                c.during(fake, form.CheckListBox1->currentRow());
            }
        });
        ASSERT_TRUE(test::runToItsEnd(form));

        EXPECT_EQ(ending(form), QStringLiteral("completed"));
        EXPECT_EQ(failures(form), c.failed);
        EXPECT_EQ(form.Ripped().tracks.size() + form.Ripped().failed.size(), 3u);
        EXPECT_EQ(test::readFile(ripped(1)).size(), 44 + 2 * 2352);
        EXPECT_FALSE(FileExists(ripped(2)));
        EXPECT_EQ(QDir(rips).entryList(QDir::Files | QDir::Hidden).size(),
                  static_cast<qsizetype>(form.Ripped().tracks.size()));
    }
}

// The library fails while a drive change or the delayed re-read reads the drive: the list shows
// what the component holds, so that no row stands for a track it no longer has, and the notice
// over the list names what failed.
TEST_F(RipperDialog, ADriveTheLibraryFailsToReadSaysWhyOverTheList)
{
    const struct {
        const char* situation;
        std::function<void(TRipperForm&)> read;
    } cases[] = {
        {"drive change",
         [](TRipperForm& form) {
             form.DriveComboBox->setCurrentIndex(1);
             emit form.DriveComboBox->activated(1);
         }},
        {"delayed re-read", [](TRipperForm& form) { form.Timer1Timer(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        test::FakeCDRipLibrary fake;
        fake.paths = {QStringLiteral("/dev/sr0"), QStringLiteral("/dev/sr1")};
        fake.drives[0].disc = DiscToc{DiscState::Read, {{0, true}, {10, true}}, 20, {}, {}};
        fake.drives[1] = fake.drives[0];
        TRipperForm form(&titles, 100, {fake}, texts, recorder, clock);
        ASSERT_EQ(form.CheckListBox1->count(), 2);

        fake.throwing = {"readToc"};
        c.read(form);
        EXPECT_EQ(form.CheckListBox1->count(), static_cast<int>(form.CDRIP1->Tracks().size()));
        EXPECT_FALSE(form.StartBitBtn->isEnabled());
        EXPECT_FALSE(form.DiscNoticeLabel->isHidden());
        EXPECT_TRUE(form.DiscNoticeLabel->text().endsWith(
            QStringLiteral("\nInitialization failure: readToc")))
            << form.DiscNoticeLabel->text().toStdString();
    }
}

TEST_F(RipperDialog, ScalingEnlargesTheControlsInsideTheGroupBoxes)
{
    insert(1);
    TRipperForm form(&titles, 129, {library}, texts, recorder, clock);
    EXPECT_EQ(form.size(), QSize(672, 719));
    EXPECT_EQ(form.GroupBox1->geometry(), QRect(13, 125, 639, 578));
    EXPECT_EQ(form.CheckListBox1->geometry(), QRect(21, 124, 424, 373));
}
