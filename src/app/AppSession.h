#pragma once

#include "ProgramSetup.h"
#include "cdrip/CdLibraries.h"
#include "cdrip/CdioRipLibrary.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/DVK_SystemInfo.h"

#include <QString>

namespace qvr {

class Host;

// What start-up makes and both front ends use: the host messages and the busy cursor go
// through, message boxes in the desktop's language, the language of the run with its texts, the
// program's folders, its settings file, the tools in the work folder and the CD extraction
// library. The window and the command-line front end each build one and hand it, or the part a
// class needs, to the rest.
class AppSession {
  public:
    AppSession(Host& host, int messageLanguageIndex);

    Host& host() const { return messages_.host(); }
    const MessageBoxes& messages() const { return messages_; }
    const ProgramTexts& texts() const { return texts_; }
    ProgramFolders& folders() { return folders_; }
    const ProgramFolders& folders() const { return folders_; }
    CdLibraries cdLibraries() { return {cdRipLibrary_}; }
    // The user's standard folders as they were when the session was made.
    const TWindowsInfo& systemInfo() const { return systemInfo_; }

    // The language of the run from the choice in the work folder below appDataDir (the
    // desktop's without one) and its texts from the program folder; a missing text file is
    // reported. Message boxes speak the language of the run from then on.
    void settleLanguage(const QString& appDataDir, const QString& programFolder);
    // The user chose another language: texts and message boxes speak it at once, and the choice
    // is stored for the next starts (false when it could not be).
    bool chooseLanguage(const QString& language);
    // The program and skin folders for the program file's folder.
    void setProgramFolder(const QString& programFolder);
    // The documents, output and work folders, made with their parents when missing.
    void setOutputAndWorkFolders(const TWindowsInfo& info);
    // Work files go below the folder the user named, in a folder of ours; answers why the
    // folder cannot be used, empty when it can.
    QString useWorkFolder(const QString& folder);
    // Copies go below `folder` (its "{N} Hz" folders) instead of the documents folder's.
    void useOutputFolder(const QString& folder);
    // Records the language of the run in the program folder's "Program.ini".
    void writeProgramSettings() const;
    // Links the tools into the work folder: the encoder and the stretcher, then the converter.
    void linkTools() const;
    void linkFfmpeg();
    // How fast this machine is, measured in the work folder.
    int measureSpeed() const;
    // Older versions left how the last rip ended in a file of the output folder; it goes.
    void removeStaleRipResult() const;

  private:
    void followLanguageInMessages();

    TWindowsInfo systemInfo_;
    QString appDataDir_;
    MessageBoxes messages_;
    ProgramTexts texts_;
    ProgramFolders folders_;
    CdioRipLibrary cdRipLibrary_;
};

}  // namespace qvr
