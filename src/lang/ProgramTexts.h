#pragma once

#include "platform/IniFile.h"

#include <QString>

#include <memory>

namespace qvr {

class MessageBoxes;

// The language of the run and its numbered texts from "Language.ini". The language is one of
// "GERMAN", "ENGLISH", "SPAIN", "FRANCE", "ITALIAN", compared exactly wherever a text is picked
// by it. Copies share the one reader of the file.
class ProgramTexts {
  public:
    // English, without texts: every text is empty.
    ProgramTexts();
    // Reads "Language.ini" of the program folder; a missing file gives empty texts.
    ProgramTexts(QString language, const QString& programFolder);

    const QString& language() const { return language_; }
    // The program folder with its trailing separator; "Language.ini" lives there.
    const QString& folder() const { return folder_; }
    // The numbered text in the language of the run; empty when there is none.
    QString text(int number) const;

  private:
    QString language_;
    QString folder_;
    std::shared_ptr<const IniFile> file_;
};

// Language start-up: the language from the first line of "LanguageIsSet.ini" in the work folder
// below appDataDir, exactly as read (without the file the desktop's language, English where it is
// none of the five), then the texts of the program
// folder; a missing "Language.ini" is reported and the run goes on without texts.
ProgramTexts SettleProgramTexts(const QString& appDataDir, const QString& programFolder,
                                const MessageBoxes& messages);

}  // namespace qvr
