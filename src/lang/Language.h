#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// The work folder's "LanguageIsSet.ini" for a data folder: its first line is the language of the
// run.
QString LanguageChoiceFile(const QString& appDataDir);

// The five languages of the run, in the order of the translation tables' columns.
const QStringList& ProgramLanguages();

// The language of the run for a desktop locale such as "de_AT.UTF-8": German, Spanish, French
// and Italian by the locale's language; English for any other, and for none.
QString ProgramLanguageForLocale(const QString& locale);

// The language of the run a desktop without a stored choice gets: from LC_ALL, LC_MESSAGES or
// LANG, the first one set.
QString DesktopProgramLanguage();

// Stores the user's choice of language for the next starts; false when it cannot be written.
bool StoreLanguageChoice(const QString& appDataDir, const QString& language);

// The message-box language of a language of the run (0 German, 1 English, 2 French, 3 Spanish,
// 4 Italian); -1 for a code outside the five.
int MessageLanguageIndexOf(const QString& language);

}  // namespace qvr
