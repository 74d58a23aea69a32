#pragma once

#include <QString>

namespace qvr {

// A lock shared by all processes of this user, named like a Windows mutex: an exclusive flock
// on "{name}.lock" in $XDG_RUNTIME_DIR (else the temporary folder, per user id). The kernel lets
// go of it when the process dies.
class NamedMutex {
  public:
    explicit NamedMutex(const QString& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // True when another process already holds the lock.
    bool alreadyExisted() const { return alreadyExisted_; }
    static QString lockFilePath(const QString& name);

  private:
    int fd_ = -1;
    bool alreadyExisted_ = false;
};

}  // namespace qvr
