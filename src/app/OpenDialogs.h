#pragma once

#include <QString>

class QWidget;

namespace qvr {

// The filter of both open dialogs: the supported extensions.
QString OpenDialogFilter();

// The chooser's text before a frequency is picked, in the language of the run.
QString frequencyPlaceholder(const QString& language);
// The name the folder dialog suggests, so only the folder has to be picked and confirmed.
QString openFolderSuggestion(const QString& language);

// The open-file dialog, starting in `startFolder` (empty: the dialog's own choice); the chosen
// existing file, or empty when cancelled.
QString chooseInputFile(QWidget* parent, const QString& startFolder);
// The open-folder dialog: a folder chooser titled with the suggestion; answers a path in the
// chosen folder, or empty when cancelled.
QString chooseInputFolder(QWidget* parent, const QString& suggestedName,
                          const QString& startFolder);
// The output-folder chooser titled `title`, starting at `current`; the chosen folder, or empty.
QString chooseOutputFolder(QWidget* parent, const QString& current, const QString& title);

}  // namespace qvr
