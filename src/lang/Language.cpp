#include "Language.h"

#include "platform/PathStyle.h"

namespace qvr {

QString LanguageChoiceFile(const QString& appDataDir)
{
    return IncludeBackslash(appDataDir) + subfolder(QStringLiteral("Dornevik")) +
           subfolder(QStringLiteral("Quorvane")) + QStringLiteral("LanguageIsSet.ini");
}

}  // namespace qvr
