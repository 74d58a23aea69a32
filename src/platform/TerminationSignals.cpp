#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace qvr {
namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

// The write end of the living object's pipe, -1 when none lives. A signal handler receives
// nothing but the signal number, so the one thing it needs has to be reachable without an
// object: this is the only process-wide variable, and only the constructor and destructor of
// the single living TerminationSignals change it. A lock-free atomic may be read in a handler.
std::atomic<int> livingWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// Async-signal-safe: one write(2) of the number into the pipe, errno left as it was. When the
// pipe is full the number is dropped; the ones before it are still waiting to be read.
void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = livingWriteEnd.load();
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &signalNumber, sizeof signalNumber);
    }
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    int expected = -1;
    if (!livingWriteEnd.compare_exchange_strong(expected, ends[1])) {
        ::close(ends[0]);  // another object lives: this one stays inert
        ::close(ends[1]);
        return;
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kSignals[i], &action, &former_[i]);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (writeEnd_ < 0) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kSignals[i], &former_[i], nullptr);
    }
    livingWriteEnd.store(-1);
    delete notifier_;
    ::close(readEnd_);
    ::close(writeEnd_);
}

void TerminationSignals::readPending()
{
    for (;;) {
        int signalNumber = 0;
        const ssize_t n = ::read(readEnd_, &signalNumber, sizeof signalNumber);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n != static_cast<ssize_t>(sizeof signalNumber)) {
            return;  // nothing more waiting (writes of this size into a pipe are never split)
        }
        if (first_ == 0) {
            first_ = signalNumber;
        }
        emit received(signalNumber);
    }
}

}  // namespace qvr
