#include "StartupFixture.h"
#include "TestPictures.h"
#include "app/BackgroundPicture.h"
#include "app/Skins.h"
#include "app/StartupDialogs.h"
#include "cdrip/DialogLook.h"
#include "cdrip/fCDName.h"
#include "convert/FileListModel.h"
#include "support/MainFormControls.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace qvr;
using namespace qvr::test;

namespace {

const char* const kPrefixes[] = {"1-", "2-", "3-", "4-", "5-", "6-", "7-", "8-", "9-", "10-"};

// Each picture file has a colour of its own, so the test sees which one is shown.
QColor colourOfPrefix(const QString& prefix)
{
    const int n = prefix.chopped(1).toInt();
    return QColor(20 * n, 250 - 20 * n, 60 + 10 * n);
}

QColor headerColour(const TMainFormQVR& form)
{
    return controls(form).HeaderLabel->palette().color(QPalette::WindowText);
}

QColor selectionColour(const TMainFormQVR& form)
{
    return controls(form).lvFiles->palette().color(QPalette::Active, QPalette::Highlight);
}

QColor shownColour(const TMainFormQVR& form)
{
    return CentreColour(controls(form).BkgImage->pixmap().toImage());
}

class Skins : public StartupFixture {
  protected:
    void SetUp() override
    {
        StartupFixture::SetUp();
        for (const char* sizeClass : {"768", "1080"}) {
            for (const char* prefix : kPrefixes) {
                writeFile(skinFolder() + prefix + sizeClass + ".jpg",
                          SolidJpeg({64, 36}, colourOfPrefix(prefix)));
            }
        }
    }

    QString skinFolder() const { return programFolder + "recom_GR/"; }
    QString skinFile() const { return home.workFolder() + "skin.ini"; }
};

}  // namespace

TEST_F(Skins, EverySkinSetsItsPictureAndColoursAndIsRemembered)
{
    struct Expected {
        const char* prefix;
        QColor header;
        QColor selection;
        QColor gradientStart;
        QColor gradientEnd;
    };
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    const Expected expected[] = {
        {"2-", white, {104, 182, 166}, white, {88, 148, 76}},
        {"1-", black, {136, 142, 220}, {133, 144, 217}, {249, 249, 249}},
        {"3-", black, {243, 101, 32}, white, {243, 101, 32}},
        {"4-", white, {78, 93, 155}, white, {78, 93, 155}},
        {"5-", {255, 255, 0}, {83, 100, 169}, white, {83, 100, 169}},
        {"6-", white, {88, 88, 88}, white, {88, 88, 88}},
        {"7-", black, {140, 140, 140}, white, {140, 140, 140}},
        {"8-", black, {180, 180, 180}, white, {200, 200, 200}},
        {"9-", white, {69, 69, 69}, white, {75, 75, 75}},
        {"10-", black, {19, 75, 135}, white, {19, 75, 135}},
    };
    auto form = start();
    form->show();
    ASSERT_EQ(controls(*form).SkinItems.size(), 10);
    for (int skin = 1; skin <= 10; ++skin) {
        SCOPED_TRACE(skin);
        const Expected& e = expected[skin - 1];
        controls(*form).SkinItems[skin - 1]->trigger();
        EXPECT_EQ(form->background().source(), skinFolder() + e.prefix + "768.jpg");
        EXPECT_TRUE(CloseColours(shownColour(*form), colourOfPrefix(e.prefix)));
        EXPECT_EQ(headerColour(*form), e.header);
        EXPECT_EQ(selectionColour(*form), e.selection);
        EXPECT_EQ(form->dialogColours().start, e.gradientStart);
        EXPECT_EQ(form->dialogColours().end, e.gradientEnd);
        EXPECT_EQ(readFile(skinFile()), QByteArray::number(skin) + "\r\n");
    }
}

TEST_F(Skins, TheFirstStartShowsSkinTwoAndWritesIt)
{
    auto form = start();
    EXPECT_EQ(form->background().source(), skinFolder() + "1-768.jpg");
    EXPECT_EQ(readFile(skinFile()), "2\r\n");
}

TEST_F(Skins, TheChosenSkinComesBackAfterARestart)
{
    controls(*start()).SkinItems[4]->trigger();
    auto form = start();
    EXPECT_EQ(form->background().source(), skinFolder() + "5-768.jpg");
    EXPECT_EQ(headerColour(*form), QColor(255, 255, 0));
}

TEST_F(Skins, ThePictureSizeFollowsTheScreen)
{
    auto form = start({}, 1050);
    EXPECT_EQ(form->resolutionClass(), "1080");
    controls(*form).SkinItems[0]->trigger();
    EXPECT_EQ(form->background().source(), skinFolder() + "2-1080.jpg");
    controls(*form).SkinItems[1]->trigger();
    EXPECT_EQ(form->background().source(), skinFolder() + "1-1080.jpg");
}

TEST_F(Skins, AnythingButASkinNumberKeepsTheBuiltInLookAndTheFile)
{
    const QByteArray settings[] = {"11\r\n",    " 3\r\n",     "3 \r\n", "",
                                   "\r\n5\r\n", "Skin 3\r\n", "0"};
    for (const QByteArray& setting : settings) {
        SCOPED_TRACE(setting.toStdString());
        writeFile(skinFile(), setting);
        auto form = start();
        form->show();
        EXPECT_EQ(form->background().source(), BackgroundPicture::kBuiltIn);
        EXPECT_FALSE(controls(*form).BkgImage->pixmap().isNull());
        EXPECT_LT(form->background().decodedSize().width(), 1920);  // decoded for the window
        EXPECT_EQ(headerColour(*form), form->palette().color(QPalette::WindowText));
        EXPECT_EQ(selectionColour(*form), kDesignSelectionColour);
        EXPECT_EQ(form->dialogColours().start, QColor(133, 144, 217));
        EXPECT_EQ(form->dialogColours().end, QColor(249, 249, 249));
        EXPECT_EQ(readFile(skinFile()), setting);
    }
}

TEST_F(Skins, AMissingPictureKeepsTheBackgroundWhileTheColoursChange)
{
    QFile::remove(skinFolder() + "7-768.jpg");
    writeFile(skinFolder() + "8-768.jpg", "damaged");
    auto form = start();
    form->show();
    controls(*form).SkinItems[0]->trigger();
    for (int skin : {7, 8}) {
        SCOPED_TRACE(skin);
        controls(*form).SkinItems[skin - 1]->trigger();
        EXPECT_EQ(form->background().source(), skinFolder() + "2-768.jpg");
        EXPECT_TRUE(CloseColours(shownColour(*form), colourOfPrefix("2-")));
        EXPECT_EQ(headerColour(*form), QColor(0, 0, 0));
        EXPECT_EQ(form->dialogColours().end, SkinLookFor(skin).gradientEnd);
        EXPECT_EQ(readFile(skinFile()), QByteArray::number(skin) + "\r\n");
    }
}

TEST_F(Skins, ChoosingASkinHidesTheListUntilFilesAreAddedButKeepsTheRows)
{
    auto form = start();
    form->show();
    form->files().addRow(home.path() + "/a.mp3");
    form->files().addRow(home.path() + "/b.mp3");
    for (QWidget* w : std::initializer_list<QWidget*>{
             controls(*form).lvFiles, controls(*form).ComboBox1, controls(*form).ConvertBitBtn,
             controls(*form).OutputFolderBitBtn}) {
        w->show();
    }
    controls(*form).SkinItems[2]->trigger();
    for (QWidget* w : std::initializer_list<QWidget*>{
             controls(*form).lvFiles, controls(*form).ComboBox1, controls(*form).ConvertBitBtn,
             controls(*form).AbortBitBtn, controls(*form).OutputFolderBitBtn}) {
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(controls(*form).OpenFolderBitBtn->isVisible());
    EXPECT_TRUE(controls(*form).OpenFileBitBtn->isVisible());
    EXPECT_EQ(form->files().rowCount(), 2);
}

TEST_F(Skins, ALargePictureIsDecodedOnlyAsLargeAsTheWindowNeeds)
{
    const QString shipped = QStringLiteral(QUORVANE_PROGRAM_DIR "/recom_GR/1-2160.jpg");
    ASSERT_TRUE(QFile::exists(shipped));
    QFile::remove(skinFolder() + "1-2160.jpg");
    ASSERT_TRUE(QFile::copy(shipped, skinFolder() + "1-2160.jpg"));
    auto form = start({"169"}, 768);  // the 2160 pictures in a window of 1034 x 616
    form->show();
    EXPECT_EQ(form->background().source(), skinFolder() + "1-2160.jpg");
    const QSize decoded = form->background().decodedSize();
    EXPECT_LT(decoded.width(), 3840);
    EXPECT_GE(decoded.width(), controls(*form).BkgImage->width());
    EXPECT_GE(decoded.height(), controls(*form).BkgImage->height());
    // A larger window brings a finer decode.
    form->resize(2000, 1200);
    EXPECT_GT(form->background().decodedSize().width(), decoded.width());
}

TEST_F(Skins, TheNextCdNameDialogShowsTheSkinsGradient)
{
    auto form = start();
    const StartupDialogs dialogs(*form);
    controls(*form).SkinItems[4]->trigger();
    TCDNameForm& dialog = *dialogs.CDName;
    dialog.show();
    const QImage shown = dialog.grab().toImage();
    EXPECT_TRUE(CloseColours(shown.pixelColor(3, 0), QColor(255, 255, 255), 6));
    EXPECT_TRUE(CloseColours(shown.pixelColor(3, shown.height() - 1), QColor(83, 100, 169), 6))
        << shown.pixelColor(3, shown.height() - 1).name().toStdString();
    dialog.hide();
}

// The Skin menu names the current skin with a check mark, also the one taken from "skin.ini".
TEST_F(Skins, TheSkinMenuChecksTheCurrentSkin)
{
    auto checked = [](TMainFormQVR& form) {
        QList<int> numbers;
        for (int skin = 1; skin <= 10; ++skin) {
            if (controls(form).SkinItems[skin - 1]->isChecked()) {
                numbers << skin;
            }
        }
        return numbers;
    };
    auto form = start();
    EXPECT_EQ(checked(*form), QList<int>{2});
    for (int skin : {5, 10, 1}) {
        controls(*form).SkinItems[skin - 1]->trigger();
        EXPECT_EQ(checked(*form), QList<int>{skin});
    }
    form = start();
    EXPECT_EQ(checked(*form), QList<int>{1});
}
