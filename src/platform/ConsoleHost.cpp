#include "ConsoleHost.h"

namespace qvr {

int ConsoleHost::showMessage(const MessageBoxRequest& request)
{
    std::fprintf(out_, "%s: %s\n", qPrintable(request.title), qPrintable(request.text));
    std::fflush(out_);
    return request.buttons.empty() ? static_cast<int>(MessageButton::OK)
                                   : static_cast<int>(request.buttons.front().button);
}

void ConsoleHost::showPlainMessage(const QString& text)
{
    std::fprintf(out_, "Quorvane: %s\n", qPrintable(text));
    std::fflush(out_);
}

}  // namespace qvr
