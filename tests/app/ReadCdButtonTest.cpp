// Read CD on the main window follows the CD drives as the device manager reports them, tells
// of a drive this user may not open, and keeps the CDs of names that clean alike apart.

#include "StartupFixture.h"
#include "support/MainFormControls.h"
#include "support/ShippedTexts.h"

#include "app/CdHandOff.h"
#include "app/StartupDialogs.h"
#include "cdrip/CdImage.h"
#include "cdrip/CdioRipLibrary.h"
#include "cdrip/fCDName.h"
#include "cdrip/fRipper.h"
#include "convert/ConversionEngine.h"
#include "platform/MediaNotices.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using namespace qvr;
using namespace qvr::test;

namespace {

constexpr CdDriveSurvey kNoCdDrive{false, false, false};
constexpr CdDriveSurvey kUsableDrive{true, true, false};
constexpr CdDriveSurvey kLockedDrive{false, true, true};
constexpr CdDriveSurvey kImageOnly{true, false, false};

class ReadCdButton : public StartupFixture {
  protected:
    CdDriveSurvey drives = kNoCdDrive;  // what the machine has, as the survey finds it
    int surveys = 0;
    std::unique_ptr<TMainFormQVR> form;
    std::unique_ptr<StartupDialogs> dialogs;

    void startWindow()
    {
        settleLanguage();
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.screenHeight = 768;
        environment.measureSpeed = [](const QString&) { return 40; };
        environment.surveyCdDrives = [this] {
            ++surveys;
            return drives;
        };
        form = std::make_unique<TMainFormQVR>(session, environment);
        form->show();
        dialogs = std::make_unique<StartupDialogs>(*form);
    }

    bool readCdShown() const { return controls(*form).RipCDBitBtn->isVisible(); }
};

}  // namespace

TEST_F(ReadCdButton, FollowsTheDrivesAsTheyComeAndGo)
{
    startWindow();
    EXPECT_FALSE(readCdShown());
    MediaNotices& media = form->media();
    const struct {
        const char* what;
        CdDriveSurvey machine;
        void (MediaNotices::*notice)(const QString&);
        bool shown;
    } steps[] = {
        {"USB drive plugged in", kUsableDrive, &MediaNotices::driveAdded, true},
        {"disc taken out", kUsableDrive, &MediaNotices::removal, true},
        {"last drive unplugged", kNoCdDrive, &MediaNotices::driveRemoved, false},
        {"drive that came with a disc", kUsableDrive, &MediaNotices::arrival, true},
        {"drive unplugged, a CD image left", kImageOnly, &MediaNotices::driveRemoved, true},
        {"drive this user may not open", kLockedDrive, &MediaNotices::driveAdded, true},
        {"that drive unplugged", kNoCdDrive, &MediaNotices::driveRemoved, false},
    };
    for (const auto& step : steps) {
        drives = step.machine;
        emit(media.*step.notice)(QStringLiteral("/dev/sr1"));
        EXPECT_EQ(readCdShown(), step.shown) << step.what;
    }
}

TEST_F(ReadCdButton, ADriveThisUserMayNotOpenIsExplainedInsteadOfRead)
{
    drives = kLockedDrive;
    startWindow();
    bool asked = false;
    form->cdReading().showCdName = [&asked](TCDNameForm&) {
        asked = true;
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(readCdShown());
    EXPECT_EQ(controls(*form).RipCDBitBtn->toolTip(), texts().text(10100));

    controls(*form).RipCDBitBtn->click();
    EXPECT_FALSE(asked);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, texts().text(10100));
    EXPECT_EQ(recorder.messages[0].kind, MessageKind::Information);

    // Once a drive can be read, Read CD reads it, and the hint is gone.
    drives = kUsableDrive;
    controls(*form).RipCDBitBtn->click();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(controls(*form).RipCDBitBtn->toolTip().isEmpty());
}

TEST_F(ReadCdButton, ChangesDuringACdReadingWaitUntilItIsOver)
{
    drives = kUsableDrive;
    startWindow();
    int surveysWhileReading = -1;
    form->cdReading().showCdName = [&](TCDNameForm&) {
        const int before = surveys;
        drives = kNoCdDrive;
        emit form->media().driveRemoved(QStringLiteral("/dev/sr0"));
        surveysWhileReading = surveys - before;
        EXPECT_TRUE(readCdShown());
        return int(QDialog::Rejected);
    };
    controls(*form).RipCDBitBtn->click();
    EXPECT_EQ(surveysWhileReading, 0);
    EXPECT_FALSE(readCdShown());
}

TEST(ReadCdTexts, TheLockedDriveTextNamesTheGroupInEveryLanguage)
{
    QStringList texts;
    for (const char* language : {"GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN"}) {
        const QString text = shippedTexts(language).text(10100);
        EXPECT_TRUE(text.contains(QStringLiteral("cdrom"))) << language;
        EXPECT_FALSE(texts.contains(text)) << language;
        texts << text;
    }
}

// Two CDs whose names clean to one folder name are ripped into two folders; the first CD read
// again goes back into its own.
TEST_F(ReadCdButton, CdsWhoseNamesCleanAlikeGetFoldersOfTheirOwn)
{
    QDir().mkpath(home.path() + "/discs");
    const CdImage image =
        writeCdImage(home.path() + "/discs/", QStringLiteral("disc"), {{true, 20, 440.0, 1.0}});
    home.setEnv(CdioRipLibrary::kImagesVariable, image.cuePath.toUtf8());
    drives = kImageOnly;
    startWindow();
    QString typed;
    CdHandOff& reading = form->cdReading();
    reading.showCdName = [&typed](TCDNameForm& dialog) {
        dialog.Edit1->setText(typed);
        dialog.ComboBox1->setCurrentIndex(4);
        dialog.BitBtn1Click();
        return dialog.result();
    };
    reading.showRipper = [](TRipperForm& ripper) { ripper.AbortBitBtnClick(); };
    const QString input = home.outputFolder() + "CD-ROM-Input/";
    const std::pair<const char*, const char*> readings[] = {
        {"AC/DC", "AC-DC/"}, {"AC:DC", "AC-DC (2)/"}, {"AC/DC", "AC-DC/"}, {"AC:DC", "AC-DC (2)/"}};
    for (const auto& [name, folder] : readings) {
        typed = QString::fromUtf8(name);
        controls(*form).RipCDBitBtn->click();
        ASSERT_NE(form->engine().cdRun(), nullptr);
        EXPECT_EQ(form->engine().cdRun()->folder, input + QString::fromUtf8(folder)) << name;
        EXPECT_TRUE(DirectoryExists(input + QString::fromUtf8(folder))) << name;
    }
    EXPECT_EQ(QDir(input).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}
