#include "OpenDialogs.h"

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
    QStringList patterns;
    for (const char* extension : {"mp3", "wav", "m4a", "flac", "m4a", "aac", "aiff", "aif"}) {
        patterns << QStringLiteral("*.") + QLatin1String(extension);
        patterns << QStringLiteral("*.") + QString::fromLatin1(extension).toUpper();
    }
    return QStringLiteral("mp3, wav, m4a, flac, m4a, aac, aiff, aif (") + patterns.join(u' ') +
           u')';
}

QString frequencyPlaceholder(const QString& language)
{
    return textFor(kPlaceholders, language);
}

QString openFolderSuggestion(const QString& language)
{
    return textFor(kFolderSuggestions, language);
}

QString chooseInputFile(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog2"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(OpenDialogFilter());
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

// A folder chooser rather than a file dialog, in which a typed folder could not be confirmed; the
// instruction the design puts into the name field becomes its title.
QString chooseInputFolder(QWidget* parent, const QString& suggestedName)
{
    QFileDialog dialog(parent);
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

}  // namespace qvr
