#pragma once

#include <QString>

namespace qvr {

// Holds the work folder for one run: an exclusive flock on "quorvane.lock" in the folder, taken
// without waiting. A second holder of the same folder, in this process or another, is refused
// while the first lives. The lock is let go when the object dies, and by the kernel when the
// process dies; the file is opened close-on-exec, so no tool the run starts keeps it.
class WorkFolderLock {
  public:
    // The folder ends with '/'.
    explicit WorkFolderLock(const QString& folder);
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    // True when this object holds the folder; false when another holder has it or the lock
    // file could not be made.
    bool acquired() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace qvr
