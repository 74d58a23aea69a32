#pragma once

#include <QString>

#include <vector>

namespace qvr {

// What a message box is about; selects its icon and title.
enum class MessageKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// Message box buttons; each value is the result code the button answers with.
enum class MessageButton {
    Help = 0,  // does not close the box
    OK = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
    All = 8,
    NoToAll = 9,
    YesToAll = 10,
};

// The result code a message box gives when it is closed through its close box.
inline constexpr int kClosedByCloseBox = static_cast<int>(MessageButton::Cancel);

struct MessageBoxButton {
    MessageButton button;
    QString caption;  // empty: the platform's standard caption
};

struct MessageBoxRequest {
    MessageKind kind = MessageKind::Information;
    QString title;
    QString text;
    std::vector<MessageBoxButton> buttons;  // in the order they are shown
};

// The little a long-running piece of work needs from whatever shows it: message boxes, the busy
// cursor and a chance to let pending events (clicks, timers) be handled. The window front end,
// the command-line front end and the tests each supply their own.
class Host {
  public:
    virtual ~Host() = default;

    // Shows a message box with a kind and answers the result code of the pressed button.
    virtual int showMessage(const MessageBoxRequest& request) = 0;
    // A plain note: the program's name as title, one OK button, no translation.
    virtual void showPlainMessage(const QString& text) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // True once the application has been asked to end.
    virtual bool terminating() const { return false; }
};

}  // namespace qvr
