#include "Host.h"

#include "EventWait.h"

namespace qvr {
namespace {

class SilentHost : public Host {
  public:
    int showMessage(const MessageBoxRequest& request) override
    {
        return request.buttons.empty() ? static_cast<int>(MessageButton::OK)
                                       : static_cast<int>(request.buttons.front().button);
    }
    void showPlainMessage(const QString&) override {}
    void setBusyCursor(bool) override {}
    void processEvents(int maxWaitMs) override { processQtEvents(maxWaitMs); }
};

SilentHost silentHost;
Host* currentHost = &silentHost;

}  // namespace

Host& host()
{
    return *currentHost;
}

void setHost(Host* newHost)
{
    currentHost = newHost != nullptr ? newHost : &silentHost;
}

ScopedHost::ScopedHost(Host& h) : previous_(currentHost)
{
    setHost(&h);
}

ScopedHost::~ScopedHost()
{
    setHost(previous_);
}

}  // namespace qvr
