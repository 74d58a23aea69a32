#pragma once

#include "platform/Host.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace qvr::test {

// A host that records every message and answers message boxes from a queue (the first button
// when the queue is empty).
class RecordingHost : public Host {
  public:
    int showMessage(const MessageBoxRequest& request) override;
    void showPlainMessage(const QString& text) override;
    void setBusyCursor(bool busy) override;

    void answerNext(MessageButton button) { answers.push_back(static_cast<int>(button)); }
    // The texts of all messages, boxes and plain notes alike, in order.
    QStringList texts() const;

    std::vector<MessageBoxRequest> messages;
    QStringList plainMessages;
    std::deque<int> answers;
    bool busy = false;
    int busyCalls = 0;

  private:
    QStringList order_;
};

}  // namespace qvr::test
