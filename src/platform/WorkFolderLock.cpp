#include "WorkFolderLock.h"

#include "NativePath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace qvr {

WorkFolderLock::WorkFolderLock(const QString& folder)
{
    const std::string path = toNativeBytes(folder + QStringLiteral("quorvane.lock"));
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

WorkFolderLock::~WorkFolderLock()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace qvr
