#include "ConsoleHostChoice.h"

#include "WidgetHost.h"
#include "platform/ConsoleHost.h"

namespace qvr {

std::unique_ptr<Host> MakeFrontEndHost()
{
    if (qgetenv("QUORVANE_MESSAGES") == "stderr") {
        return std::make_unique<ConsoleHost>();
    }
    return std::make_unique<WidgetHost>();
}

}  // namespace qvr
