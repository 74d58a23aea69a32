#pragma once

#include <QString>

namespace qvr {

// A lock shared by all processes of this user, named like a Windows mutex: an exclusive flock
// on "{name}.lock" in the user's runtime folder. The kernel lets go of it when the process dies.
class NamedMutex {
  public:
    explicit NamedMutex(const QString& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // True when another process already holds the lock.
    bool alreadyExisted() const { return alreadyExisted_; }
    // The lock file. Where the system keeps a runtime folder for the user ("/run/user/<uid>",
    // a folder owned by the user), it is there, whatever the environment says, so copies started
    // without $XDG_RUNTIME_DIR (cron, su, some remote logins) find the same file. Else it is in
    // $XDG_RUNTIME_DIR when that folder exists, else in the temporary folder with the user id in
    // its name.
    static QString lockFilePath(const QString& name);
    // The same, with the system's runtime folders looked for in runRoot instead of "/run/user".
    static QString lockFilePath(const QString& name, const QString& runRoot);

  private:
    int fd_ = -1;
    bool alreadyExisted_ = false;
};

}  // namespace qvr
