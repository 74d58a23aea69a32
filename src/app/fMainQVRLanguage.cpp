// The main window's Language menu, the skin's check mark and what the end of a run tells the
// desktop and the closing window.
#include "AppSession.h"
#include "ColumnFit.h"
#include "MainRunView.h"
#include "QtTranslations.h"
#include "RunAnnouncer.h"
#include "cdrip/fWizardEditTitle.h"
#include "convert/ConversionEngine.h"
#include "fAboutQVR.h"
#include "fMainQVR.h"
#include "lang/Language.h"
#include "lang/ProgramTexts.h"
#include "platform/DesktopNotifier.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace qvr {
namespace {

struct LanguageItem {
    const char* name;
    const char* caption;  // the language's own name, the same in every language
};

// In the order of ProgramLanguages().
constexpr LanguageItem kLanguageItems[] = {{"SpracheDeutsch1", "Deutsch"},
                                           {"SpracheEnglish1", "English"},
                                           {"SpracheEspanol1", "Español"},
                                           {"SpracheFrancais1", "Français"},
                                           {"SpracheItaliano1", "Italiano"}};

}  // namespace

void TMainFormQVR::createLanguageMenu()
{
    Sprache1 = menuBar()->addMenu(QStringLiteral("Sprache"));
    Sprache1->setObjectName(QStringLiteral("Sprache1"));
    auto* group = new QActionGroup(Sprache1);
    for (const LanguageItem& item : kLanguageItems) {
        QAction* action = Sprache1->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setCheckable(true);
        group->addAction(action);
        LanguageItems << action;
    }
}

void TMainFormQVR::connectLanguageAndRunEnd()
{
    qtTexts_ = std::make_unique<QtTranslations>();
    const QStringList& languages = ProgramLanguages();
    for (int index = 0; index < LanguageItems.size(); ++index) {
        connect(LanguageItems.at(index), &QAction::triggered, this,
                [this, language = languages.at(index)] { SpracheClick(language); });
    }
    DesktopNotifier* notifier = environment_.notifier;
    if (notifier == nullptr) {
        ownNotifier_ = std::make_unique<DBusDesktopNotifier>(QStringLiteral("Quorvane"),
                                                             QStringLiteral("quorvane.desktop"));
        notifier = ownNotifier_.get();
    }
    announcer_ = std::make_unique<RunAnnouncer>(
        *notifier, [this]() -> const ProgramTexts& { return texts(); });
    runView_->setAnnouncer(announcer_.get());
    connect(Engine.get(), &ConversionEngine::runFinished, this, &TMainFormQVR::runFinished);
}

// The table writes its design captions into the run's counter and error labels too; what a run
// shows there stays, with the counter's word in the new language.
void TMainFormQVR::SpracheClick(const QString& language)
{
    const QString errors = FehlerLabel->text();
    session_.chooseLanguage(language);
    ApplyLanguage();
    FehlerLabel->setText(errors);
    if (Engine->running()) {
        runView_->showRunCount(Engine->RunCountText());
    }
    followLanguageInDialogs();
}

// The CD name dialog follows through its translation table; the title dialog and the about box
// read what changed.
void TMainFormQVR::followLanguageInDialogs()
{
    if (EditTitleWizzard != nullptr) {
        EditTitleWizzard->ShowTexts();
    }
    if (AboutBoxQVR != nullptr) {
        AboutBoxQVR->setProductPageAddress(ProductPageAddress);
    }
}

void TMainFormQVR::checkCurrentLanguage()
{
    const qsizetype index = ProgramLanguages().indexOf(texts().language());
    for (int item = 0; item < LanguageItems.size(); ++item) {
        LanguageItems.at(item)->setChecked(item == index);
    }
}

void TMainFormQVR::checkSkin(int number)
{
    for (int item = 0; item < SkinItems.size(); ++item) {
        SkinItems.at(item)->setChecked(item == number - 1);
    }
}

void TMainFormQVR::runFinished()
{
    if (quitAfterRun_) {
        quitAfterRun_ = false;
        close();
    }
}

}  // namespace qvr
