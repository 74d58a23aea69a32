#include "ProgramSetup.h"

#include "convert/WorkFiles.h"
#include "lang/MessageBoxes.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/PathStyle.h"

namespace qvr {
namespace {

// Points the work folder's entry at the real program the program folder's entry resolves to.
// A copy would keep running an old build against updated libraries, so the link is made anew
// whenever it is not already a link to that program; a missing tool changes nothing.
void linkTool(const ProgramFolders& folders, const QString& name)
{
    const QString program = CanonicalFilePath(folders.ProgramFolder + name);
    if (program.isEmpty() || !IsRegularFile(program)) {
        return;
    }
    const QString link = folders.paths.workFolder() + name;
    if (SymbolicLinkTarget(link) != program) {
        ReplaceWithSymbolicLink(program, link);
    }
}

}  // namespace

void SetProgramFolders(ProgramFolders& folders, const QString& programFolder)
{
    folders.ProgramFolder = IncludeBackslash(programFolder);
    folders.SkinFolder = folders.ProgramFolder + subfolder(QStringLiteral("recom_GR"));
}

void SetOutputAndWorkFolders(ProgramFolders& folders, const TWindowsInfo& info)
{
    folders.paths = ProgramPaths::forUser(info.PersonalDir, info.AppDataDir);
    ForceDirectories(folders.paths.outputRoot());
    ForceDirectories(folders.paths.workFolder());
}

void WriteProgramSettings(const QString& programFolder, const QString& language,
                          const MessageBoxes& messages)
{
    const QString file = programFolder + QStringLiteral("Program.ini");
    if (!FileExists(file)) {
        messages.show(file + QStringLiteral(" not found!"), MessageKind::Error,
                      {MessageButton::OK});
        return;
    }
    // A program folder the user may not write to (an installed copy) keeps its file as it is.
    IniFile(file).writeString(QStringLiteral("SETTINGS"), QStringLiteral("Language"), language);
}

void CopyTools(const ProgramFolders& folders)
{
    for (const QString& name : {kMp3Tool, kStretchTool}) {
        linkTool(folders, name);
    }
}

void CopyFfmpeg(ProgramFolders& folders)
{
    folders.FfmpegPath = folders.paths.workFolder() + kConverterTool;
    linkTool(folders, kConverterTool);
}

}  // namespace qvr
