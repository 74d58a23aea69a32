// The main window's look: the background picture, the skins and the translation table.
#include "BackgroundPicture.h"
#include "CaptionFit.h"
#include "LabelBackdrop.h"
#include "Skins.h"
#include "cdrip/DialogLook.h"
#include "fMainQVR.h"
#include "lang/TranslationDispatcher.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

#include <vector>

namespace qvr {
namespace {

using SkinHandler = void (TMainFormQVR::*)();

// The handler of skin 1 .. 10, in menu order.
constexpr SkinHandler kSkinHandlers[kSkinCount] = {
    &TMainFormQVR::Skin11Click, &TMainFormQVR::Skin21Click, &TMainFormQVR::Skin31Click,
    &TMainFormQVR::Skin41Click, &TMainFormQVR::Skin51Click, &TMainFormQVR::Skin61Click,
    &TMainFormQVR::Skin71Click, &TMainFormQVR::Skin81Click, &TMainFormQVR::Skin91Click,
    &TMainFormQVR::Skin101Click};

void setForeground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setSelectionColour(QWidget* list, const QColor& colour)
{
    QPalette palette = list->palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, colour);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, colour);
    list->setPalette(palette);
}

}  // namespace

void TMainFormQVR::createLookAndTranslation()
{
    Background = new BackgroundPicture(BkgImage);
    Background->showBuiltIn(size());
    // The labels of a run bring the backdrop that makes them readable; the title line's is in
    // the pictures, as it always shows. The large error count needs less contrast.
    new LabelBackdrop(ProgressLabel, BkgImage, 4.5);
    new LabelBackdrop(ConvertMSGLabel, BkgImage, 4.5);
    new LabelBackdrop(FehlerLabel, BkgImage, 3.0);
    setSelectionColour(lvFiles, kDesignSelectionColour);
    siLangDispatcher1 = new TranslationDispatcher(this);
    siLang1 = new FormTranslation(
        this, LoadTranslationResource(QStringLiteral(":/translations/fMainQVR.translation")),
        siLangDispatcher1);
}

void TMainFormQVR::connectLookAndInfoHandlers()
{
    connect(WissenswerteszumKonvertierenSolfeggioFrequenzen1, &QAction::triggered, this,
            &TMainFormQVR::WissenswerteszumKonvertierenSolfeggioFrequenzen1Click);
    connect(mniProgrammInfo1, &QAction::triggered, this, &TMainFormQVR::mniProgrammInfo1Click);
    for (int skin = 0; skin < kSkinCount; ++skin) {
        connect(SkinItems.at(skin), &QAction::triggered, this, kSkinHandlers[skin]);
    }
}

void TMainFormQVR::ApplySkinAtStartup()
{
    if (FileExists(SkinSettingFile(Folders.paths.workFolder()))) {
        LoadSkinSetting();
    } else {
        Skin21Click();
    }
}

void TMainFormQVR::Skin11Click()
{
    ApplySkin(1);
}
void TMainFormQVR::Skin21Click()
{
    ApplySkin(2);
}
void TMainFormQVR::Skin31Click()
{
    ApplySkin(3);
}
void TMainFormQVR::Skin41Click()
{
    ApplySkin(4);
}
void TMainFormQVR::Skin51Click()
{
    ApplySkin(5);
}
void TMainFormQVR::Skin61Click()
{
    ApplySkin(6);
}
void TMainFormQVR::Skin71Click()
{
    ApplySkin(7);
}
void TMainFormQVR::Skin81Click()
{
    ApplySkin(8);
}
void TMainFormQVR::Skin91Click()
{
    ApplySkin(9);
}
void TMainFormQVR::Skin101Click()
{
    ApplySkin(10);
}

// A missing or unreadable picture keeps the background shown so far; the rest of the skin
// still applies.
void TMainFormQVR::ApplySkin(int number)
{
    const SkinLook& skin = SkinLookFor(number);
    Background->showFile(SkinPicturePath(Folders.SkinFolder, skin, ResolutionClass),
                         client_->size());
    setForeground(HeaderLabel, skin.headerColour);
    dialogColours_ = DialogColours{skin.gradientStart, skin.gradientEnd};
    setSelectionColour(lvFiles, skin.selectionColour);
    ResetSkinControls();
    SaveSkinSetting(QString::number(number));
    checkSkin(number);
}

// Anything but "1" .. "10" in the first line leaves the look and the file as they are.
void TMainFormQVR::LoadSkinSetting()
{
    if (const std::optional<int> number = StoredSkinNumber(Folders.paths.workFolder())) {
        (this->*kSkinHandlers[*number - 1])();
    }
}

void TMainFormQVR::SaveSkinSetting(const QString& number)
{
    StoreSkinNumber(Folders.paths.workFolder(), number);
}

// The buttons are painted anew over the new background; the list and the run controls wait
// until files are added again (the rows stay in the list).
void TMainFormQVR::ResetSkinControls()
{
    for (QWidget* button :
         std::initializer_list<QWidget*>{OpenFolderBitBtn, OpenFileBitBtn, RipCDBitBtn, AbortBitBtn,
                                         ConvertBitBtn, OutputFolderBitBtn}) {
        button->update();
    }
    for (QWidget* control : std::initializer_list<QWidget*>{lvFiles, ComboBox1, AbortBitBtn,
                                                            ConvertBitBtn, OutputFolderBitBtn}) {
        control->hide();
    }
}

// The menu bar and its menus grow with the controls on large screens.
void TMainFormQVR::scaleMenus()
{
    QMenuBar* bar = menuBar();
    std::vector<QWidget*> menus{bar};
    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        menus.push_back(menu);
    }
    for (QWidget* menu : menus) {
        QFont font = menu->font();
        font.setPointSizeF(font.pointSizeF() * ScalePercent / 100.0);
        menu->setFont(font);
    }
}

// Some languages' captions are longer than the design's buttons and labels allow: those get a
// smaller font, the others keep theirs.
void TMainFormQVR::fitCaptions()
{
    for (QPushButton* button : client_->findChildren<QPushButton*>()) {
        FitCaption(*button);
    }
    for (QLabel* label : {HeaderLabel, ProgressLabel, FehlerLabel, ConvertMSGLabel}) {
        FitLabel(*label, width());
    }
}

}  // namespace qvr
