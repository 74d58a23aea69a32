#include "WorkPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace qvr {

void LowerThisThreadToCheckPriority()
{
    // On Linux the niceness is the thread's own; a thread that cannot lower it simply runs on.
    const int now = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    static_cast<void>(
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), now + kCheckNiceness));
}

}  // namespace qvr
