#include "NamedMutex.h"

#include "NativePath.h"

#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvr {
namespace {

// The user's own runtime folder below runRoot, or nothing when there is none.
QString systemRuntimeFolder(const QString& runRoot)
{
    const QString folder = runRoot + u'/' + QString::number(::getuid());
    struct stat st {};
    if (::stat(toNativeBytes(folder).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::getuid()) {
        return QString();
    }
    return folder;
}

}  // namespace

QString NamedMutex::lockFilePath(const QString& name)
{
    return lockFilePath(name, QStringLiteral("/run/user"));
}

QString NamedMutex::lockFilePath(const QString& name, const QString& runRoot)
{
    if (const QString system = systemRuntimeFolder(runRoot); !system.isEmpty()) {
        return system + u'/' + name + QStringLiteral(".lock");
    }
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime + u'/' + name + QStringLiteral(".lock");
    }
    return QDir::tempPath() + u'/' + name + u'-' + QString::number(::getuid()) +
           QStringLiteral(".lock");
}

NamedMutex::NamedMutex(const QString& name)
{
    // Close-on-exec: a tool started by the program must not keep the lock alive after it.
    fd_ = ::open(toNativeBytes(lockFilePath(name)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    alreadyExisted_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0;
}

NamedMutex::~NamedMutex()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace qvr
