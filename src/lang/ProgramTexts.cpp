#include "ProgramTexts.h"

#include "Language.h"
#include "MessageBoxes.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"

namespace qvr {

namespace {

QString languageFile(const QString& folder)
{
    return folder + QStringLiteral("Language.ini");
}

}  // namespace

ProgramTexts::ProgramTexts() : language_(QStringLiteral("ENGLISH")) {}

ProgramTexts::ProgramTexts(QString language, const QString& programFolder)
    : language_(std::move(language)),
      folder_(IncludeBackslash(programFolder)),
      file_(std::make_shared<IniFile>(languageFile(folder_)))
{
}

QString ProgramTexts::text(int number) const
{
    return file_ ? file_->readString(language_, QString::number(number)) : QString();
}

ProgramTexts SettleProgramTexts(const QString& appDataDir, const QString& programFolder,
                                const MessageBoxes& messages)
{
    const QString choice = LanguageChoiceFile(appDataDir);
    // Without a choice (or with a file without a first line) the run speaks the desktop's
    // language.
    const std::optional<QString> chosen =
        FileExists(choice) ? ReadFirstLine(choice) : std::optional<QString>();
    const QString language = chosen.value_or(DesktopProgramLanguage());
    const QString file = languageFile(IncludeBackslash(programFolder));
    if (!FileExists(file)) {
        messages.show(file + QStringLiteral(" not found!"), MessageKind::Error,
                      {MessageButton::OK});
    }
    return ProgramTexts(language, programFolder);
}

}  // namespace qvr
