#pragma once

#include "platform/Host.h"

#include <QString>

#include <initializer_list>
#include <vector>

namespace qvr {

// Message boxes with translated titles and buttons, shown through a host. Their language is the
// desktop's language until the language of the run is settled, then that one: 0 German,
// 1 English, 2 French, 3 Spanish, 4 Italian.
class MessageBoxes {
  public:
    MessageBoxes(Host& host, int languageIndex);

    // The language index of the desktop's user-interface language.
    static int desktopLanguageIndex();

    int languageIndex() const { return languageIndex_; }
    // The boxes speak another language from now on (the user chose one).
    void setLanguageIndex(int languageIndex) { languageIndex_ = languageIndex; }
    Host& host() const { return host_; }

    // The message box as it will be shown: translated title and captions, buttons in the
    // platform's fixed order.
    MessageBoxRequest build(const QString& text, MessageKind kind,
                            const std::vector<MessageButton>& buttons) const;
    // Shows a message box and answers the pressed button's result code (2 when it was closed
    // through its close box).
    int show(const QString& text, MessageKind kind,
             std::initializer_list<MessageButton> buttons) const;

  private:
    Host& host_;
    int languageIndex_;
};

}  // namespace qvr
