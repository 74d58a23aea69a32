#include "MessageBoxes.h"

#include "DVK_MyLanguagesMessageDLG.h"
#include "platform/UiLanguage.h"

namespace qvr {

MessageBoxes::MessageBoxes(Host& host, int languageIndex)
    : host_(host), languageIndex_(languageIndex)
{
}

int MessageBoxes::desktopLanguageIndex()
{
    return MessageLanguageIndexFor(UserInterfaceLanguageId());
}

MessageBoxRequest MessageBoxes::build(const QString& text, MessageKind kind,
                                      const std::vector<MessageButton>& buttons) const
{
    return BuildLanguageMessage(text, kind, buttons, languageIndex_);
}

int MessageBoxes::show(const QString& text, MessageKind kind,
                       std::initializer_list<MessageButton> buttons) const
{
    return host_.showMessage(build(text, kind, buttons));
}

}  // namespace qvr
