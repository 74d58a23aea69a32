#include "Language.h"

#include "DVK_MyLanguagesMessageDLG.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

namespace qvr {

QString ProgramLanguage = QStringLiteral("ENGLISH");
QString LanguageFolder;
std::unique_ptr<IniFile> LanguageIniFile;

QString LanguageChoiceFile(const QString& appDataDir)
{
    return IncludeBackslash(appDataDir) + subfolder(QStringLiteral("Dornevik")) +
           subfolder(QStringLiteral("Quorvane")) + QStringLiteral("LanguageIsSet.ini");
}

void SettleProgramLanguage(const QString& appDataDir, const QString& programFolder)
{
    const QString choice = LanguageChoiceFile(appDataDir);
    // A file without a first line counts as no choice: the run is in English.
    ProgramLanguage = FileExists(choice) ? ReadFirstLine(choice).value_or(QStringLiteral("ENGLISH"))
                                         : QStringLiteral("ENGLISH");
    LoadLanguageFile(programFolder);
}

void LoadLanguageFile(const QString& programFolder)
{
    LanguageFolder = IncludeBackslash(programFolder);
    LanguageIniFile.reset();
    const QString file = LanguageFolder + QStringLiteral("Language.ini");
    if (!FileExists(file)) {
        LanguageMessageDlg(file + QStringLiteral(" not found!"), MessageKind::Error,
                           {MessageButton::OK});
    }
    LanguageIniFile = std::make_unique<IniFile>(file);
}

QString GetLanguageText(int number)
{
    return LanguageIniFile ? LanguageIniFile->readString(ProgramLanguage, QString::number(number))
                           : QString();
}

}  // namespace qvr
