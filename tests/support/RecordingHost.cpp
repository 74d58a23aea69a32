#include "RecordingHost.h"

namespace qvr::test {

int RecordingHost::showMessage(const MessageBoxRequest& request)
{
    messages.push_back(request);
    order_ << request.text;
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return request.buttons.empty() ? static_cast<int>(MessageButton::OK)
                                   : static_cast<int>(request.buttons.front().button);
}

void RecordingHost::showPlainMessage(const QString& text)
{
    plainMessages << text;
    order_ << text;
}

void RecordingHost::setBusyCursor(bool busy)
{
    ++busyCalls;
    this->busy = busy;
}

QStringList RecordingHost::texts() const
{
    return order_;
}

}  // namespace qvr::test
