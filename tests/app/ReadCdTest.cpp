// Read CD on the main window: CD name, rip through the ripper dialog on a CD image the test
// writes, and the conversion of the ripped tracks with the real tools.

#include "StartupFixture.h"
#include "support/MainFormControls.h"

#include "app/CdHandOff.h"
#include "app/StartupDialogs.h"
#include "cdrip/CDRIP.h"
#include "cdrip/CdImage.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/FakeLibraries.h"
#include "cdrip/RipperRuns.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "convert/CdAlbum.h"
#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "support/Audio.h"
#include "support/FakeClock.h"
#include "support/Waiting.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include <optional>
#include <vector>

using namespace qvr;
using namespace qvr::test;

namespace {

const QString kNoDriveMessage = QStringLiteral("ERROR: No CD-Drive found!");

// Sample frames of an audio file as FFmpeg decodes it, the encoder's delay and padding left out.
qint64 decodedFrames(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-i", path, "-f", "s16le", "-ac", "2", "-"});
    ffmpeg.waitForFinished(60000);
    return ffmpeg.readAllStandardOutput().size() / 4;
}

}  // namespace

class ReadCd : public StartupFixture {
  protected:
    FakeClock clock;
    CdImage image;
    std::unique_ptr<TMainFormQVR> form;
    std::unique_ptr<StartupDialogs> dialogs;
    QString cdName = QStringLiteral("Greatest Hits");
    int frequencyIndex = 4;  // 432 Hz
    // What the user does in the ripper dialog once its disc is listed; by default Start.
    std::function<void(TRipperForm&)> inRipper = [](TRipperForm& ripper) {
        EXPECT_TRUE(runToItsEnd(ripper));
    };

    void insertDisc(int tracks, int sectors, double hertz = 440.0)
    {
        image = writeCdImage(home.path() + "/discs/", QStringLiteral("disc"),
                             std::vector<ImageTrack>(tracks, {true, sectors, hertz, 1.0}));
        home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    }

    void startWindow()
    {
        QDir().mkpath(home.path() + "/discs");
        form = start();
        form->show();
        dialogs = std::make_unique<StartupDialogs>(*form);
        CdHandOff& reading = form->cdReading();
        reading.showCdName = [this](TCDNameForm& dialog) {
            dialog.Edit1->setText(cdName);
            dialog.ComboBox1->setCurrentIndex(frequencyIndex);
            dialog.BitBtn1Click();
            return dialog.result();
        };
        reading.createRipper = [this] {
            return std::make_unique<TRipperForm>(dialogs->EditTitle.get(), 100,
                                                 session.cdLibraries(), texts(), recorder, clock,
                                                 form.get());
        };
        reading.showRipper = [this](TRipperForm& ripper) {
            ripper.DriveComboBox->setCurrentIndex(
                ripper.DriveComboBox->findText(image.cuePath, Qt::MatchEndsWith));
            ripper.DriveComboBoxChange();
            ripper.Timer1Timer();
            inRipper(ripper);
        };
    }

    void installRealTools() { test::installRealTools(home.workFolder()); }

    // Read CD with the name dialog answered by OK on what it offers, and the run of the ripped
    // tracks aborted as soon as it begins. Answers the tags the run was given.
    CdAlbum readCdTakingTheOfferedName(QString& offered)
    {
        form->cdReading().showCdName = [&offered](TCDNameForm& dialog) {
            offered = dialog.Edit1->text();
            dialog.ComboBox1->setCurrentIndex(4);
            dialog.BitBtn1Click();
            return dialog.result();
        };
        const auto run = readCdUntilTheRunBegins();
        return run ? run->second : CdAlbum{QStringLiteral("no run"), {}, {}};
    }

    QStringList listedInputs() const
    {
        QStringList inputs;
        for (int row = 0; row < form->files().rowCount(); ++row) {
            inputs << form->files().cellText(row, FileListModel::InputColumn);
        }
        return inputs;
    }

    struct ExpectedTags {
        const char* file;
        int number;
        const char* title;
        const char* artist;
    };

    // The ripped tracks in disc order, each one of the files the run lists.
    void expectTrackTags(const CdAlbum& tags, const QString& folder,
                         const std::vector<ExpectedTags>& expected)
    {
        ASSERT_EQ(tags.tracks.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const CdTrackTags& track = tags.tracks[i];
            SCOPED_TRACE(expected[i].file);
            EXPECT_EQ(track.wavPath, folder + QString::fromUtf8(expected[i].file));
            EXPECT_TRUE(listedInputs().contains(track.wavPath));
            EXPECT_EQ(track.number, expected[i].number);
            EXPECT_EQ(track.total, static_cast<int>(expected.size()));
            EXPECT_EQ(track.title, QString::fromUtf8(expected[i].title));
            EXPECT_EQ(track.artist, QString::fromUtf8(expected[i].artist));
        }
        EXPECT_EQ(listedInputs().size(), static_cast<qsizetype>(expected.size()));
    }

    // Read CD with the run of the ripped tracks aborted as soon as it begins; the files it lists
    // and the tags it was given, nothing when no run began.
    std::optional<std::pair<QStringList, CdAlbum>> readCdUntilTheRunBegins()
    {
        std::optional<std::pair<QStringList, CdAlbum>> run;
        controls(*form).RipCDBitBtn->click();
        const ConversionEngine& engine = form->engine();
        if (engine.running()) {
            run = std::make_pair(listedInputs(), engine.cdRun()->tags);
            form->engine().requestAbort();
        }
        waitForTheRun();
        return run;
    }

    // Read CD and, when it hands the tracks to a run, that run to its end.
    void readCd()
    {
        controls(*form).RipCDBitBtn->click();
        waitForTheRun();
    }

    void waitForTheRun()
    {
        ASSERT_TRUE(waitForEvents([this] { return !form->engine().running(); }, 120'000));
    }

    // The message that names the tracks that could not be read.
    QString failureReport(int failed, int marked, const QStringList& lines) const
    {
        return texts().text(20041).arg(failed).arg(marked) + u'\n' + lines.join(u'\n');
    }

    std::vector<QString> messageTexts() const
    {
        std::vector<QString> texts;
        for (const MessageBoxRequest& message : recorder.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    QString cdFolder() const { return home.outputFolder() + "CD-ROM-Input/Greatest-Hits/"; }
    QString resultFile() const { return home.outputFolder() + "RIPPERRESULT.txt"; }

    void expectFileButtonsEnabled()
    {
        EXPECT_TRUE(controls(*form).RipCDBitBtn->isEnabled());
        EXPECT_TRUE(controls(*form).OpenFolderBitBtn->isEnabled());
        EXPECT_TRUE(controls(*form).OpenFileBitBtn->isEnabled());
    }
};

TEST_F(ReadCd, ACompletedRipIsConvertedToMp3AtTheChosenFrequency)
{
    insertDisc(3, 225);  // three seconds each
    startWindow();
    installRealTools();
    readCd();

    ASSERT_EQ(form->files().rowCount(), 3);
    for (int track = 1; track <= 3; ++track) {
        const QString name = QStringLiteral("Track%1").arg(track, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(form->files().cellText(track - 1, FileListModel::InputColumn),
                  cdFolder() + name + ".wav");
        EXPECT_EQ(form->files().cellText(track - 1, FileListModel::OutputColumn),
                  name + "-432 Hz.mp3");
        const QString output = cdFolder() + "432 Hz/" + name + "-432 Hz.mp3";
        ASSERT_TRUE(FileExists(output)) << output.toStdString();
        EXPECT_EQ(probe(output).codec, QStringLiteral("mp3"));
        // Every sample of the track, slowed from 440 to 432 Hz; a sector lost at the end of the
        // rip would be 599 samples fewer.
        EXPECT_NEAR(decodedFrames(output), 3.0 * 44100 * 440 / 432, 1152 / 4.0)
            << name.toStdString();
        EXPECT_NEAR(measurePitch(output), 432.0, 432.0 * 0.0005) << name.toStdString();
    }
    EXPECT_TRUE(QDir(cdFolder()).entryList({"*.wav"}, QDir::Files).isEmpty());
    EXPECT_FALSE(FileExists(resultFile()));
    EXPECT_NE(form->engine().cdRun(), nullptr);
    EXPECT_EQ(controls(*form).ComboBox1->currentIndex(), 4);
    EXPECT_TRUE(recorder.messages.back().text.startsWith(texts().text(10002)));
    expectFileButtonsEnabled();
    EXPECT_FALSE(recorder.busy);
}

TEST_F(ReadCd, AbortDuringTheThirdTrackListsNothing)
{
    insertDisc(5, 60);
    startWindow();
    inRipper = [this](TRipperForm& ripper) {
        afterEveryChunk(ripper, [&ripper] {
            if (ripper.Ripping && ripper.CheckListBox1->currentRow() == 2) {
                ripper.AbortBitBtnClick();
            }
        });
        EXPECT_TRUE(runToItsEnd(ripper));
        EXPECT_FALSE(ripper.RunCompleted());
    };
    readCd();

    EXPECT_EQ(form->files().rowCount(), 0);
    EXPECT_TRUE(FileExists(cdFolder() + "Track01.wav"));
    EXPECT_FALSE(FileExists(cdFolder() + "Track04.wav"));
    EXPECT_FALSE(FileExists(cdFolder() + "Track05.wav"));
    EXPECT_FALSE(FileExists(resultFile()));
    expectFileButtonsEnabled();
    EXPECT_FALSE(controls(*form).ComboBox1->isVisible());
    EXPECT_FALSE(controls(*form).ConvertBitBtn->isVisible());
    EXPECT_FALSE(recorder.busy);
    EXPECT_NE(form->engine().cdRun(), nullptr);
}

TEST_F(ReadCd, CancellingTheCdNameClearsTheChooserAndMakesNoFolder)
{
    insertDisc(1, 20);
    startWindow();
    controls(*form).ComboBox1->setCurrentIndex(2);
    controls(*form).ComboBox1->show();
    form->cdReading().showCdName = [](TCDNameForm& dialog) {
        dialog.AbortBitBtnClick();
        return dialog.result();
    };
    readCd();

    EXPECT_EQ(controls(*form).ComboBox1->currentIndex(), -1);
    EXPECT_FALSE(controls(*form).ComboBox1->isVisible());
    EXPECT_FALSE(DirectoryExists(home.outputFolder() + "CD-ROM-Input"));
    EXPECT_EQ(form->engine().cdRun(), nullptr);
}

// The dialog's own answer decides, whatever a file of an older version's name says.
TEST_F(ReadCd, TheRipperDialogsAnswerDecidesNotTheResultFile)
{
    insertDisc(1, 20);
    startWindow();
    const struct {
        bool start;
        const char* written;
        int listed;
    } cases[] = {{false, "mrOK\r\n", 0}, {true, "mrAbort\r\n", 1}, {true, "", 1}};
    for (const auto& c : cases) {
        inRipper = [this, c](TRipperForm& ripper) {
            if (c.start) {
                EXPECT_TRUE(runToItsEnd(ripper));
            }
            writeFile(resultFile(), c.written);
        };
        readCd();
        EXPECT_EQ(form->files().rowCount(), c.listed) << c.written;
        EXPECT_EQ(readFile(resultFile()), QByteArray(c.written));  // read by nobody
        expectFileButtonsEnabled();
        EXPECT_FALSE(recorder.busy);
    }
}

// The no-drive message comes with what failed inside the extraction library.
TEST_F(ReadCd, ARipperThatCannotStartIsReportedAndChangesNothing)
{
    insertDisc(1, 20);
    startWindow();
    FakeCDRipLibrary failing;
    failing.throwing = {"findDrives"};
    form->cdReading().createRipper = [this, &failing] {
        return std::make_unique<TRipperForm>(dialogs->EditTitle.get(), 100, CdLibraries{failing},
                                             texts(), recorder, clock, form.get());
    };
    bool shown = false;
    form->cdReading().showRipper = [&shown](TRipperForm&) { shown = true; };
    readCd();

    EXPECT_FALSE(shown);
    EXPECT_EQ(recorder.messages.back().text,
              kNoDriveMessage + QStringLiteral("\nInitialization failure: findDrives"));
    EXPECT_EQ(form->engine().cdRun(), nullptr);
    EXPECT_FALSE(DirectoryExists(cdFolder()));
    expectFileButtonsEnabled();
    EXPECT_FALSE(recorder.busy);
}

// What a library below throws after the ripper started (an allocation that failed) is named as
// it is, not passed off as a missing drive.
TEST_F(ReadCd, AFailureDuringTheRipIsNamedAsItIs)
{
    insertDisc(1, 20);
    startWindow();
    form->cdReading().showRipper = [](TRipperForm&) { throw std::bad_alloc(); };
    readCd();
    EXPECT_EQ(recorder.messages.back().text, QStringLiteral("ERROR: std::bad_alloc"));
    expectFileButtonsEnabled();
    EXPECT_FALSE(recorder.busy);
}

TEST_F(ReadCd, CdTextNamesTheCdAndTagsTheRippedTracks)
{
    QDir().mkpath(home.path() + "/discs");
    image =
        writeCdImage(home.path() + "/discs/", QStringLiteral("disc"),
                     {{true, 20, 440.0, 1.0, {QStringLiteral("Opening"), QStringLiteral("Solo")}},
                      {true, 20, 440.0, 1.0, {QStringLiteral("Caf\u00E9 Noir"), QString()}},
                      {true, 20, 440.0, 1.0, {}}},
                     {QStringLiteral("Greatest Hits"), QStringLiteral("The Band")});
    home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    startWindow();
    if (session.cdLibraries().extraction.drivePaths().indexOf(image.cuePath) != 0) {
        GTEST_SKIP() << "the machine has CD drives of its own";
    }
    dialogs->CDName->Edit1->setText(QStringLiteral("Previous Disc"));
    QString offered;
    const CdAlbum tags = readCdTakingTheOfferedName(offered);

    EXPECT_EQ(offered, QStringLiteral("Greatest Hits"));
    ASSERT_NE(form->engine().cdRun(), nullptr);
    EXPECT_EQ(form->engine().cdRun()->folder, cdFolder());
    EXPECT_EQ(tags.album, QStringLiteral("Greatest Hits"));
    EXPECT_EQ(tags.artist, QStringLiteral("The Band"));
    expectTrackTags(tags, cdFolder(),
                    {{"Opening.wav", 1, "Opening", "Solo"},
                     {"Caf\u00E9 Noir.wav", 2, "Caf\u00E9 Noir", "The Band"},
                     {"Track03.wav", 3, "Track03", "The Band"}});
}

TEST_F(ReadCd, WithoutCdTextTheTypedNameAndTrackNumbersStay)
{
    insertDisc(2, 20);
    startWindow();
    dialogs->CDName->Edit1->setText(QStringLiteral("  My Mix  "));
    QString offered;
    const CdAlbum tags = readCdTakingTheOfferedName(offered);

    EXPECT_EQ(offered, QStringLiteral("  My Mix  "));
    EXPECT_EQ(tags.album, QStringLiteral("My Mix"));
    EXPECT_EQ(tags.artist, QString());
    expectTrackTags(tags, home.outputFolder() + "CD-ROM-Input/My-Mix/",
                    {{"Track01.wav", 1, "Track01", ""}, {"Track02.wav", 2, "Track02", ""}});
}

TEST_F(ReadCd, ReadCdIsShownOnlyWithADriveOrAnImage)
{
    insertDisc(1, 20);
    startWindow();
    EXPECT_TRUE(controls(*form).RipCDBitBtn->isVisible());

    home.setEnv(CdioRipLibrary::kImagesVariable, "");
    auto bare = start();
    bare->show();
    if (!session.cdLibraries().extraction.drivePaths().isEmpty()) {
        GTEST_SKIP() << "the machine has CD drives of its own";
    }
    EXPECT_FALSE(controls(*bare).RipCDBitBtn->isVisible());
}

// The image file ends inside the second of three tracks: the person is told which tracks could
// not be read, and only the complete one is listed, tagged and converted.
TEST_F(ReadCd, TracksThatCouldNotBeReadAreNamedAndOnlyCompleteOnesConverted)
{
    insertDisc(3, 40);
    writeFile(image.binPath, image.bin.left(60 * 2352));
    startWindow();
    const auto run = readCdUntilTheRunBegins();

    const QString reason = TrackFailureText(texts(), TrackFailure::ReadError);
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.front().text,
              failureReport(2, 3, {"Track02: " + reason, "Track03: " + reason}));
    EXPECT_EQ(recorder.messages.front().kind, MessageKind::Warning);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->first, QStringList{cdFolder() + "Track01.wav"});
    ASSERT_EQ(run->second.tracks.size(), 1u);
    EXPECT_EQ(run->second.tracks[0].number, 1);
    EXPECT_EQ(run->second.tracks[0].wavPath, cdFolder() + "Track01.wav");
}

TEST_F(ReadCd, WhenNoTrackCouldBeReadNothingIsConverted)
{
    insertDisc(2, 20);
    writeFile(image.binPath, image.bin.left(10 * 2352));
    startWindow();
    const auto run = readCdUntilTheRunBegins();

    EXPECT_FALSE(run.has_value());
    const QString reason = TrackFailureText(texts(), TrackFailure::ReadError);
    EXPECT_EQ(messageTexts(), std::vector<QString>{failureReport(
                                  2, 2, {"Track01: " + reason, "Track02: " + reason})});
    EXPECT_EQ(form->files().rowCount(), 0);
    EXPECT_FALSE(controls(*form).ComboBox1->isVisible());
    EXPECT_FALSE(controls(*form).ConvertBitBtn->isVisible());
    EXPECT_FALSE(form->engine().running());
    expectFileButtonsEnabled();
    EXPECT_FALSE(recorder.busy);
}

// WAV files an earlier, aborted rip left under the same CD name are not taken for this CD's.
TEST_F(ReadCd, TrackFilesOfAnEarlierRipAreNotConvertedAlong)
{
    insertDisc(2, 20);
    startWindow();
    ForceDirectories(cdFolder());
    writeToneWav(cdFolder() + "Track07.wav", 440.0, 0.5);
    writeToneWav(cdFolder() + "Earlier Title.wav", 440.0, 0.5);
    const auto run = readCdUntilTheRunBegins();

    ASSERT_TRUE(run.has_value());
    QStringList listed = run->first;
    listed.sort();
    EXPECT_EQ(listed, (QStringList{cdFolder() + "Track01.wav", cdFolder() + "Track02.wav"}));
    EXPECT_FALSE(FileExists(cdFolder() + "Track07.wav"));
}
