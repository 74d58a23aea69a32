#pragma once

#include "platform/IniFile.h"

#include <QString>

#include <memory>

namespace qvr {

// The language of the run: one of "GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN", compared
// exactly wherever a text is picked by it. Set once, before the first window.
extern QString ProgramLanguage;
// The program folder with its trailing separator; "Language.ini" lives there.
extern QString LanguageFolder;
// Reader of "Language.ini", kept open for the life of the process.
extern std::unique_ptr<IniFile> LanguageIniFile;

// Language start-up: ProgramLanguage from the first line of "LanguageIsSet.ini" in the work
// folder below appDataDir, exactly as read ("ENGLISH" without the file), then LoadLanguageFile.
void SettleProgramLanguage(const QString& appDataDir, const QString& programFolder);

// Opens "Language.ini" of the program folder; reports a missing file and goes on without it.
void LoadLanguageFile(const QString& programFolder);

// The numbered text in the language of the run; empty when there is none.
QString GetLanguageText(int number);

// The work folder's "LanguageIsSet.ini" for a data folder.
QString LanguageChoiceFile(const QString& appDataDir);

}  // namespace qvr
