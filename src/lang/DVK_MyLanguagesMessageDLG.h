#pragma once

#include "platform/Host.h"

#include <QString>

#include <initializer_list>
#include <vector>

namespace qvr {

// Language of message-box titles and buttons, from the desktop's language at start-up (not the
// language of the run): 0 German, 1 English, 2 French, 3 Spanish, 4 Italian.
extern int MessageLanguageIndex;

// MessageLanguageIndex for a Windows language identifier.
int MessageLanguageIndexFor(int windowsLanguageId);
// Module start-up: picks the index from the user-interface language.
void InitMessageLanguage();

QString MessageTitle(MessageKind kind, int languageIndex);
// The caption of a button; empty for the ones that keep the platform's standard caption.
QString MessageButtonCaption(MessageButton button, int languageIndex);

// The message box as it will be shown: translated title and captions, buttons in the platform's
// fixed order.
MessageBoxRequest BuildLanguageMessage(const QString& text, MessageKind kind,
                                       const std::vector<MessageButton>& buttons,
                                       int languageIndex);
MessageBoxRequest BuildLanguageMessage(const QString& text, MessageKind kind,
                                       const std::vector<MessageButton>& buttons);

// Shows a message box with translated title and buttons and answers the pressed button's result
// code (2 when it was closed through its close box). The help context is accepted and ignored.
int LanguageMessageDlg(const QString& text, MessageKind kind,
                       std::initializer_list<MessageButton> buttons, int helpContext = 0);

}  // namespace qvr
