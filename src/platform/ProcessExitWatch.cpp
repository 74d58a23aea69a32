#include "ProcessExitWatch.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qvr {
namespace {

// Only for kernels older than 5.3, which have no process descriptors.
constexpr int kFallbackRound = 20;

int openProcessDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// True once the child has ended; it stays unreaped for whoever reads its status.
bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    const int r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    return r != 0 || info.si_pid == pid;  // an error: not our child any more, so gone for us
}

}  // namespace

ProcessExitWatch::ProcessExitWatch(pid_t pid, QObject* parent)
    : QObject(parent), pid_(pid), descriptor_(openProcessDescriptor(pid))
{
    if (descriptor_ >= 0) {
        notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ProcessExitWatch::check);
    } else {
        fallback_ = new QTimer(this);
        connect(fallback_, &QTimer::timeout, this, &ProcessExitWatch::check);
        fallback_->start(kFallbackRound);
    }
    // A process that has ended already makes its descriptor readable at once; the first answer
    // still comes from the event loop, never inside the constructor.
}

ProcessExitWatch::~ProcessExitWatch()
{
    delete notifier_;
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

void ProcessExitWatch::check()
{
    if (told_ || !hasEnded(pid_)) {
        return;
    }
    told_ = true;
    if (notifier_ != nullptr) {
        notifier_->setEnabled(false);
    }
    if (fallback_ != nullptr) {
        fallback_->stop();
    }
    emit ended();
}

}  // namespace qvr
