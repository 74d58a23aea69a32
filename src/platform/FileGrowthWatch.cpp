#include "FileGrowthWatch.h"

#include "NativePath.h"

#include <array>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace qvr {
namespace {

void drain(int descriptor)
{
    if (descriptor < 0) {
        return;
    }
    std::array<char, 4096> events{};
    while (::read(descriptor, events.data(), events.size()) > 0) {
    }
}

}  // namespace

FileGrowthWatch::FileGrowthWatch(const QString& folder)
    : wakeUps_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notices_ < 0) {
        return;
    }
    const uint32_t changes = IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO;
    if (::inotify_add_watch(notices_, toNativeBytes(folder).c_str(), changes) < 0) {
        ::close(notices_);
        notices_ = -1;
    }
}

FileGrowthWatch::~FileGrowthWatch()
{
    if (notices_ >= 0) {
        ::close(notices_);
    }
    if (wakeUps_ >= 0) {
        ::close(wakeUps_);
    }
}

void FileGrowthWatch::waitForChange(std::chrono::milliseconds bound)
{
    std::array<pollfd, 2> watched{pollfd{notices_, POLLIN, 0}, pollfd{wakeUps_, POLLIN, 0}};
    // A descriptor that could not be made is left out of the wait (poll skips negative ones).
    ::poll(watched.data(), watched.size(), int(bound.count()));
    drain(notices_);
    drain(wakeUps_);
}

void FileGrowthWatch::wake()
{
    if (wakeUps_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeUps_, &one, sizeof one);
    }
}

}  // namespace qvr
