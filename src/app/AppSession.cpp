#include "AppSession.h"

#include "convert/WorkFolder.h"
#include "lang/Language.h"
#include "platform/FileSystem.h"
#include "platform/PCSpeed_DVK.h"
#include "platform/PathStyle.h"

namespace qvr {

AppSession::AppSession(Host& host, int messageLanguageIndex) : messages_(host, messageLanguageIndex)
{
}

void AppSession::settleLanguage(const QString& appDataDir, const QString& programFolder)
{
    appDataDir_ = appDataDir;
    texts_ = SettleProgramTexts(appDataDir, programFolder, messages_);
    followLanguageInMessages();
}

bool AppSession::chooseLanguage(const QString& language)
{
    texts_ = ProgramTexts(language, texts_.folder());
    followLanguageInMessages();
    return StoreLanguageChoice(appDataDir_, language);
}

// A code outside the five keeps the desktop's titles and buttons.
void AppSession::followLanguageInMessages()
{
    const int index = MessageLanguageIndexOf(texts_.language());
    if (index >= 0) {
        messages_.setLanguageIndex(index);
    }
}

void AppSession::setProgramFolder(const QString& programFolder)
{
    SetProgramFolders(folders_, programFolder);
}

void AppSession::setOutputAndWorkFolders(const TWindowsInfo& info)
{
    SetOutputAndWorkFolders(folders_, info);
}

QString AppSession::useWorkFolder(const QString& folder)
{
    const WorkFolderChoice choice = ChooseWorkFolder(folder);
    if (choice.error.isEmpty()) {
        folders_.paths.setWorkFolder(choice.folder);
    }
    return choice.error;
}

void AppSession::useOutputFolder(const QString& folder)
{
    folders_.paths.setOutputRoot(IncludeBackslash(folder));
}

void AppSession::writeProgramSettings() const
{
    WriteProgramSettings(folders_.ProgramFolder, texts_.language(), messages_);
}

void AppSession::linkTools() const
{
    CopyTools(folders_);
}

void AppSession::linkFfmpeg()
{
    CopyFfmpeg(folders_);
}

int AppSession::measureSpeed() const
{
    return MeasurePCSpeed(folders_.paths.workFolder(), host());
}

void AppSession::removeStaleRipResult() const
{
    RemoveFile(folders_.paths.outputRoot() + QStringLiteral("RIPPERRESULT.txt"));
}

}  // namespace qvr
