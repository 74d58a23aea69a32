#pragma once

#include "convert/ProgramPaths.h"
#include "platform/DVK_SystemInfo.h"

#include <QString>

namespace qvr {

class MessageBoxes;

// The folders every part of the program works in, each with its trailing separator.
struct ProgramFolders {
    QString ProgramFolder;  // where the program file, its data files and tools are
    QString SkinFolder;     // ProgramFolder + "recom_GR/"
    ProgramPaths paths;     // documents, output root, CD input and work folders
    QString FfmpegPath;     // the work folder's "ffmpeg.exe"
};

// The program and skin folders for the program file's folder.
void SetProgramFolders(ProgramFolders& folders, const QString& programFolder);
// The documents, output and work folders; the last two are created with their parents.
void SetOutputAndWorkFolders(ProgramFolders& folders, const TWindowsInfo& info);

// Records the language in the program folder's "Program.ini" when the file is there; reports its
// absence otherwise (the file is not created).
void WriteProgramSettings(const QString& programFolder, const QString& language,
                          const MessageBoxes& messages);

// Puts the tools into the work folder at every start: "lame.exe" and "soundstretch.exe" become
// symbolic links to the real programs the program folder's entries resolve to (remade when they
// point elsewhere or are files). A missing source is passed over.
void CopyTools(const ProgramFolders& folders);
// Links "ffmpeg.exe" the same way and records its path in the work folder.
void CopyFfmpeg(ProgramFolders& folders);

}  // namespace qvr
