#include "OpenDialogs.h"

#include "convert/AudioFormats.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace qvr {
namespace {

struct LanguageText {
    const char* language;
    const char* text;
};

QString textFor(const LanguageText (&table)[5], const QString& language)
{
    for (const LanguageText& row : table) {
        if (language == QLatin1String(row.language)) {
            return QString::fromUtf8(row.text);
        }
    }
    return QString::fromUtf8(table[0].text);  // the design text
}

constexpr LanguageText kPlaceholders[5] = {
    {"GERMAN", "- Bitte Auswählen -"},          {"ENGLISH", "- Please select -"},
    {"SPAIN", "- Por favor, seleccione -"},     {"FRANCE", "- Veuillez sélectionner -"},
    {"ITALIAN", "- Si prega di selezionare -"},
};

constexpr LanguageText kFolderSuggestions[5] = {
    {"GERMAN", "Alle Dateien aus diesem Ordner öffnen"},
    {"ENGLISH", "Open all files in this folder"},
    {"SPAIN", "Abrir todos los ficheros de esta carpeta"},
    {"FRANCE", "Ouvrir tous les fichiers de ce dossier"},
    {"ITALIAN", "Aprire tutti i file in questa cartella"},
};

}  // namespace

QString OpenDialogFilter()
{
    // Linux names are case-sensitive: list both spellings of each extension.
    QStringList names;
    QStringList patterns;
    for (const KindSpec& kind : AllKinds()) {
        const QString extension = QLatin1String(kind.extension);
        names << extension.mid(1);
        patterns << u'*' + extension << u'*' + extension.toUpper();
    }
    return names.join(QStringLiteral(", ")) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

QString frequencyPlaceholder(const QString& language)
{
    return textFor(kPlaceholders, language);
}

QString openFolderSuggestion(const QString& language)
{
    return textFor(kFolderSuggestions, language);
}

QString chooseInputFile(QWidget* parent, const QString& startFolder)
{
    QFileDialog dialog(parent, QString(), startFolder);
    dialog.setObjectName(QStringLiteral("OpenDialog2"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(OpenDialogFilter());
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

// A folder chooser rather than a file dialog, in which a typed folder could not be confirmed; the
// instruction the design puts into the name field becomes its title.
QString chooseInputFolder(QWidget* parent, const QString& suggestedName, const QString& startFolder)
{
    QFileDialog dialog(parent, QString(), startFolder);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setWindowTitle(suggestedName);
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    const QString folder = dialog.selectedFiles().value(0);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(suggestedName);
}

QString chooseOutputFolder(QWidget* parent, const QString& current, const QString& title)
{
    return QFileDialog::getExistingDirectory(parent, title, current, QFileDialog::ShowDirsOnly);
}

}  // namespace qvr
