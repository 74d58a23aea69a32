// The language of the run follows the desktop until the user picks one in the Language menu,
// which changes every text at once and is remembered.
#include "StartupFixture.h"
#include "support/MainFormControls.h"

#include "app/StartupDialogs.h"
#include "cdrip/fWizardEditTitle.h"
#include "convert/FileListModel.h"
#include "lang/Language.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace qvr;
using namespace qvr::test;

namespace {

// A text of Qt's own file dialog, as the installed translation gives it.
QString qtFileDialogText()
{
    return QCoreApplication::translate("QFileDialog", "Look in:");
}

QAction* languageItem(const QWidget& form, const char* name)
{
    return findControl<QAction>(form, name);
}

QStringList checkedLanguages(const QWidget& form)
{
    QStringList checked;
    for (QAction* item : findControl<QMenu>(form, "Sprache1")->actions()) {
        if (item->isChecked()) {
            checked << item->objectName();
        }
    }
    return checked;
}

class LanguageWindow : public StartupFixture {
  protected:
    QString choiceFile() const { return LanguageChoiceFile(home.dataHome()); }
};

}  // namespace

TEST_F(LanguageWindow, WithoutAChoiceTheWindowSpeaksTheDesktopsLanguage)
{
    home.setEnv("LANG", "de_DE.UTF-8");
    auto form = start();
    EXPECT_EQ(texts().language(), "GERMAN");
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->text(), "Ordner öffnen");
    EXPECT_EQ(controls(*form).mniProgramm1->title(), "Datei");
    EXPECT_EQ(form->files().headerData(0, Qt::Horizontal).toString(), "Eingabe");
    EXPECT_EQ(controls(*form).ComboBox1->placeholderText(), "- Bitte Auswählen -");
    // Qt's own dialogs too, and the message boxes' titles and buttons.
    EXPECT_EQ(qtFileDialogText(), "Suchen in:");
    EXPECT_EQ(session.messages().languageIndex(), 0);
    EXPECT_EQ(checkedLanguages(*form), QStringList{"SpracheDeutsch1"});
    // Nothing is stored: the next start follows the desktop again.
    EXPECT_FALSE(QFile::exists(choiceFile()));
}

TEST_F(LanguageWindow, ADesktopInAnotherLanguageGetsEnglish)
{
    home.setEnv("LANG", "pt_BR.UTF-8");
    auto form = start();
    EXPECT_EQ(texts().language(), "ENGLISH");
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->text(), "Open Folder");
    EXPECT_EQ(qtFileDialogText(), "Look in:");
}

TEST_F(LanguageWindow, TheLanguageMenuSwitchesEveryTextAtOnceAndRemembersTheChoice)
{
    home.setEnv("LANG", "de_DE.UTF-8");
    auto form = start();
    // The dialogs go before the window they are handed to.
    auto dialogs = std::make_unique<const StartupDialogs>(*form);
    ASSERT_EQ(controls(*form).mniInfo1->menuAction(), form->menuBar()->actions().last());
    EXPECT_EQ(findControl<QMenu>(*form, "Sprache1")->title(), "Sprache");

    languageItem(*form, "SpracheFrancais1")->trigger();

    EXPECT_EQ(texts().language(), "FRANCE");
    EXPECT_EQ(findControl<QMenu>(*form, "Sprache1")->title(), "Langue");
    EXPECT_EQ(controls(*form).OpenFolderBitBtn->text(), "Ouvrir dossier");
    EXPECT_EQ(controls(*form).mniProgramm1->title(), "Fichier");
    EXPECT_EQ(form->files().headerData(0, Qt::Horizontal).toString(), texts().text(500));
    EXPECT_EQ(controls(*form).ComboBox1->placeholderText(), "- Veuillez sélectionner -");
    EXPECT_EQ(qtFileDialogText(), "Voir dans :");
    EXPECT_EQ(session.messages().languageIndex(), 2);
    EXPECT_EQ(dialogs->EditTitle->windowTitle(), texts().text(22201));
    EXPECT_EQ(checkedLanguages(*form), QStringList{"SpracheFrancais1"});
    EXPECT_EQ(readFile(choiceFile()), "FRANCE\r\n");

    // The choice wins over the desktop at the next start.
    dialogs.reset();
    form.reset();
    auto next = start();
    EXPECT_EQ(texts().language(), "FRANCE");
    EXPECT_EQ(controls(*next).OpenFolderBitBtn->text(), "Ouvrir dossier");
}

// The steps a job goes through are named in the list in the language of the run, also after a
// switch.
TEST_F(LanguageWindow, TheListsStepTextsAreTranslated)
{
    home.setEnv("LANG", "de_DE.UTF-8");
    const QString music = home.path() + "/Music/";
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3"}) {
        writeFile(music + name, "x");
    }
    settleLanguage();
    MainFormEnvironment environment;
    environment.programFolder = programFolder;
    environment.screenHeight = 768;
    environment.measureSpeed = [](const QString&) { return 20; };
    environment.arguments = {"plenk"};  // the demonstration fill shows a row in its step
    environment.chooseFolder = [music](const QString& suggested, const QString&) {
        return music + suggested;
    };
    TMainFormQVR form(session, environment);
    form.show();
    recorder.answerNext(MessageButton::No);
    controls(form).OpenFolderBitBtn->click();
    controls(form).ComboBox1->setFocus();
    QTest::keyClick(controls(form).ComboBox1, Qt::Key_Down);

    auto stepRow = [&form] {
        for (int row = 0; row < form.files().rowCount(); ++row) {
            if (form.files().row(row).step.kind != JobStep::Kind::None) {
                return row;
            }
        }
        return -1;
    };
    const int row = stepRow();
    ASSERT_GE(row, 0);
    EXPECT_EQ(form.files().cellText(row, FileListModel::StatusColumn), "Konvertiere Hz");
    languageItem(form, "SpracheItaliano1")->trigger();
    EXPECT_EQ(form.files().cellText(row, FileListModel::StatusColumn), "Conversione Hz");
}
