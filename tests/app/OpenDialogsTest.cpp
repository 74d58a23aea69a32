// The open dialogs as a person meets them: Open Folder chooses a folder, and Qt's own texts in
// the dialogs follow the language of the run.

#include "StartupFixture.h"
#include "support/MainFormControls.h"

#include "app/OpenDialogs.h"
#include "app/QtTranslations.h"
#include "convert/FileListModel.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>

using namespace qvr;
using namespace qvr::test;

namespace {

struct ChooserSeen {
    bool foldersOnly = false;
    QString title;
};

// Answers the next folder chooser: picks `folder`, or cancels when it is empty.
void answerFolderChooser(ChooserSeen& seen, const QString& folder)
{
    QTimer::singleShot(0, [&seen, folder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen.foldersOnly = dialog->fileMode() == QFileDialog::Directory &&
                           dialog->testOption(QFileDialog::ShowDirsOnly);
        seen.title = dialog->windowTitle();
        if (folder.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(folder);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Open)->click();
    });
}

}  // namespace

using OpenFolderChooser = StartupFixture;

TEST_F(OpenFolderChooser, ChoosesAFolderAndListsItsFiles)
{
    const QString music = home.path() + "/Music/";
    writeFile(music + "a.wav", "x");
    auto form = start();
    form->show();

    ChooserSeen seen;
    answerFolderChooser(seen, QString());
    controls(*form).OpenFolderBitBtn->click();
    EXPECT_TRUE(seen.foldersOnly);
    EXPECT_EQ(seen.title, openFolderSuggestion(texts().language()));
    EXPECT_EQ(form->files().rowCount(), 0);
    EXPECT_TRUE(recorder.messages.empty());

    answerFolderChooser(seen, music);
    recorder.answerNext(MessageButton::No);
    controls(*form).OpenFolderBitBtn->click();
    ASSERT_EQ(form->files().rowCount(), 1);
    EXPECT_EQ(form->files().cellText(0, FileListModel::InputColumn), music + "a.wav");
}

TEST(QtTranslations, QtsOwnTextsFollowTheLanguageOfTheRun)
{
    struct Case {
        const char* language;
        const char* locale;
        const char* open;
    };
    const Case cases[] = {{"GERMAN", "de", "Öffnen"}, {"SPAIN", "es", "Abrir"},
                          {"FRANCE", "fr", "Ouvrir"}, {"ITALIAN", "it", "Apri"},
                          {"ENGLISH", "en", "Open"},  {"KLINGON", "en", "Open"}};
    {
        QtTranslations translations;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.language);
            EXPECT_EQ(QtTranslations::localeFor(c.language), c.locale);
            translations.apply(c.language);
            EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"),
                      QString::fromUtf8(c.open));
        }
        translations.apply("FRANCE");
    }
    // Gone with its object: the next test starts in English.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "Open");
}
