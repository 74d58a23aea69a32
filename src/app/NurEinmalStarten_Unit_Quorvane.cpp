#include "NurEinmalStarten_Unit_Quorvane.h"

#include "platform/Host.h"

namespace qvr {

std::unique_ptr<NamedMutex> GuardSingleInstance(Host& host, const std::function<void(int)>& exit)
{
    auto mutex = std::make_unique<NamedMutex>(QStringLiteral("Quorvane"));
    if (mutex->alreadyExisted()) {
        host.showPlainMessage(QStringLiteral("Quorvane is already started!"));
        exit(0);
    }
    return mutex;
}

}  // namespace qvr
