#pragma once

#include "platform/Host.h"

#include <QString>

#include <initializer_list>
#include <vector>

namespace qvr {

// The language of message-box titles and buttons for a Windows language identifier: 0 German,
// 1 English, 2 French, 3 Spanish, 4 Italian.
int MessageLanguageIndexFor(int windowsLanguageId);

QString MessageTitle(MessageKind kind, int languageIndex);
// The caption of a button; empty for the ones that keep the platform's standard caption.
QString MessageButtonCaption(MessageButton button, int languageIndex);

// The message box as it will be shown: translated title and captions, buttons in the platform's
// fixed order.
MessageBoxRequest BuildLanguageMessage(const QString& text, MessageKind kind,
                                       const std::vector<MessageButton>& buttons,
                                       int languageIndex);

}  // namespace qvr
