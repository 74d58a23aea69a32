#include "StartupFixture.h"
#include "app/LanguageAddresses.h"
#include "app/LinkLabel.h"
#include "app/Publisher.h"
#include "app/StartupDialogs.h"
#include "app/fAboutQVR.h"
#include "support/MainFormControls.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

using namespace qvr;
using namespace qvr::test;

namespace {

void click(QWidget* widget)
{
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

class AboutAndInfo : public StartupFixture {
  protected:
    QStringList opened;
    std::function<bool(const QString&)> opener = [this](const QString& address) {
        opened << address;
        return true;
    };

    std::unique_ptr<TMainFormQVR> startRecordingOpens(const QByteArray& language)
    {
        chooseLanguage(language);
        settleLanguage();
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.screenHeight = 768;
        environment.measureSpeed = [](const QString&) { return 40; };
        environment.openDocument = opener;
        return std::make_unique<TMainFormQVR>(session, environment);
    }
};

}  // namespace

TEST_F(AboutAndInfo, TheAboutBoxShowsNameVersionRightsAndContact)
{
    const QString picture = QStringLiteral(QUORVANE_PROGRAM_DIR "/recom_GR/m_about.jpg");
    ASSERT_TRUE(ForceDirectories(programFolder + "recom_GR/"));
    ASSERT_TRUE(QFile::copy(picture, programFolder + "recom_GR/m_about.jpg"));
    chooseLanguage("ITALIAN");
    auto form = start();
    const StartupDialogs dialogs(*form, opener);
    TAboutBoxQVR& box = *dialogs.AboutBox;
    EXPECT_EQ(box.windowTitle(), "Quorvane");
    EXPECT_EQ(box.ProductName->text(), "Quorvane");
    EXPECT_EQ(box.VersionLabel->text(), "2.5.1");
    EXPECT_EQ(form->windowTitle(), "Quorvane " + box.VersionLabel->text());
    EXPECT_EQ(box.Copyright->text(), kRightsNotice);
    EXPECT_TRUE(box.Copyright->text().contains(kPublisherName));
    EXPECT_EQ(box.URLLabel->text(), kPublisherWebSiteName);
    EXPECT_EQ(box.MailLabel->text(), kSupportMailAddress);
    EXPECT_EQ(box.UpdateButton->text(), "Update");  // not translated
    EXPECT_EQ(box.OKButton->text(), "OK");
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.size(), QSize(264, 262));
    ASSERT_FALSE(box.Image1->pixmap().isNull());
    EXPECT_EQ(box.Image1->pixmap().size(), QSize(236, 89));
}

TEST_F(AboutAndInfo, TheAboutLinksOpenTheProductPageAndTheMailProgram)
{
    auto form = startRecordingOpens("GERMAN");
    const StartupDialogs dialogs(*form, opener);
    dialogs.AboutBox->show();
    click(dialogs.AboutBox->URLLabel);
    click(dialogs.AboutBox->MailLabel);
    dialogs.AboutBox->UpdateButton->click();
    EXPECT_EQ(opened,
              QStringList({form->addresses().ProductPageAddress, "mailto:" + kSupportMailAddress,
                           form->addresses().ProductPageAddress}));
}

TEST_F(AboutAndInfo, ProgrammInfoShowsTheAboutBoxModally)
{
    auto form = start();
    const StartupDialogs dialogs(*form, opener);
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = QApplication::activeModalWidget() == dialogs.AboutBox.get();
        dialogs.AboutBox->OKButton->click();
    });
    controls(*form).mniProgrammInfo1->trigger();
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(dialogs.AboutBox->result(), QDialog::Accepted);
}

TEST_F(AboutAndInfo, TheInformationItemOpensTheInformationPageOfTheLanguage)
{
    auto form = startRecordingOpens("GERMAN");
    controls(*form).WissenswerteszumKonvertierenSolfeggioFrequenzen1->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], form->addresses().InfoPageAddress);
    EXPECT_NE(form->addresses().InfoPageAddress, form->addresses().ProductPageAddress);

    opened.clear();
    form = startRecordingOpens("SPAIN");
    const StartupDialogs dialogs(*form, opener);
    controls(*form).WissenswerteszumKonvertierenSolfeggioFrequenzen1->trigger();
    dialogs.AboutBox->UpdateButton->click();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], opened[1]);
}

TEST_F(AboutAndInfo, WithAnUnknownLanguageThereIsNothingToOpen)
{
    auto form = startRecordingOpens("KLINGON");
    EXPECT_TRUE(form->addresses().InfoPageAddress.isEmpty());
    EXPECT_TRUE(form->addresses().ProductPageAddress.isEmpty());
    EXPECT_TRUE(form->addresses().SupportMailAddress.isEmpty());
    controls(*form).WissenswerteszumKonvertierenSolfeggioFrequenzen1->trigger();
    EXPECT_TRUE(opened.isEmpty());
}

// The pages ship with the program: every address of every language is a page of the program
// folder that tells about the frequencies.
TEST_F(AboutAndInfo, EveryLanguageHasItsPagesInTheProgramFolder)
{
    struct Case {
        const char* language;
        bool ownInfoPage;
        const char* word;  // a word of the language on its pages
    };
    const Case cases[] = {{"GERMAN", true, "Frequenz"},
                          {"ENGLISH", true, "frequenc"},
                          {"SPAIN", false, "frecuencia"},
                          {"FRANCE", false, "fréquence"},
                          {"ITALIAN", false, "frequenz"}};
    const QString folder = QStringLiteral(QUORVANE_PROGRAM_DIR "/");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const LanguageAddresses addresses = AddressesForLanguage(c.language, folder);
        EXPECT_EQ(addresses.SupportMailAddress, kSupportMailAddress);
        EXPECT_EQ(addresses.InfoPageAddress != addresses.ProductPageAddress, c.ownInfoPage);
        for (const QString& address : {addresses.ProductPageAddress, addresses.InfoPageAddress}) {
            const QUrl url(address);
            ASSERT_TRUE(url.isLocalFile()) << address.toStdString();
            const QString page = QString::fromUtf8(readFile(url.toLocalFile()));
            EXPECT_TRUE(page.contains("963")) << address.toStdString();
            EXPECT_TRUE(page.contains(QString::fromUtf8(c.word), Qt::CaseInsensitive))
                << address.toStdString();
        }
        // The re-tuning of 432 Hz from 440 Hz, in the decimal notation of the language.
        const QString info =
            QString::fromUtf8(readFile(QUrl(addresses.InfoPageAddress).toLocalFile()));
        EXPECT_TRUE(info.contains("1.818") || info.contains("1,818"));
    }
}

// On a large screen the about box, its controls and its font grow with the main window.
TEST_F(AboutAndInfo, TheAboutBoxGrowsWithTheWindow)
{
    const auto small = start({}, 768);
    const auto large = start({}, 2160);
    const StartupDialogs smallDialogs(*small, opener);
    const StartupDialogs largeDialogs(*large, opener);
    const TAboutBoxQVR& smallBox = *smallDialogs.AboutBox;
    const TAboutBoxQVR& largeBox = *largeDialogs.AboutBox;
    EXPECT_EQ(largeBox.size(), QSize(433, 430));  // 264 x 262 by 164%
    EXPECT_EQ(largeBox.OKButton->geometry(), QRect(156, 374, 123, 41));
    EXPECT_EQ(largeBox.UpdateButton->geometry(), QRect(236, 249, 146, 41));  // inside the panel
    EXPECT_DOUBLE_EQ(largeBox.font().pointSizeF(), smallBox.font().pointSizeF() * 1.64);
    EXPECT_EQ(smallBox.size(), QSize(264, 262));
}

// The banner fills the picture's box of the design (6, 8, 236 x 89 in the panel), grown by the
// window's scaling, at every size class.
TEST_F(AboutAndInfo, TheBannerHasTheDesignsScaledSizeAtEverySizeClass)
{
    const QString picture = QStringLiteral(QUORVANE_PROGRAM_DIR "/recom_GR/m_about.jpg");
    ASSERT_TRUE(ForceDirectories(programFolder + "recom_GR/"));
    ASSERT_TRUE(QFile::copy(picture, programFolder + "recom_GR/m_about.jpg"));
    const struct {
        int screenHeight;
        int percent;
        QRect banner;
    } cases[] = {{768, 100, QRect(6, 8, 236, 89)},
                 {1080, 129, QRect(8, 10, 304, 115)},
                 {2160, 164, QRect(10, 13, 387, 146)}};
    for (const auto& c : cases) {
        const auto form = start({}, c.screenHeight);
        ASSERT_EQ(form->scalePercent(), c.percent);
        const StartupDialogs dialogs(*form, opener);
        const TAboutBoxQVR& box = *dialogs.AboutBox;
        EXPECT_EQ(box.Image1->geometry(), c.banner) << c.screenHeight;
        ASSERT_FALSE(box.Image1->pixmap().isNull()) << c.screenHeight;
        EXPECT_EQ(box.Image1->pixmap().size(), c.banner.size()) << c.screenHeight;
        EXPECT_TRUE(box.Panel1->rect().contains(box.Image1->geometry())) << c.screenHeight;
    }
}
