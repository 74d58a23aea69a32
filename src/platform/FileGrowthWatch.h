#pragma once

#include <QString>

#include <chrono>

namespace qvr {

// Lets a thread that reads a file while another program writes it sleep until the folder's
// files change: the system wakes it when something in the folder is created or written, or
// another thread wakes it. Without the system's notices the waits simply run to their bound.
class FileGrowthWatch {
  public:
    explicit FileGrowthWatch(const QString& folder);
    ~FileGrowthWatch();
    FileGrowthWatch(const FileGrowthWatch&) = delete;
    FileGrowthWatch& operator=(const FileGrowthWatch&) = delete;

    // True when the system tells of the folder's changes (the usual case).
    bool eventDriven() const { return notices_ >= 0; }

    // Returns once something in the folder was created or written since the last wait, wake()
    // was called, or `bound` has passed.
    void waitForChange(std::chrono::milliseconds bound);
    // From any thread: ends the wait under way, or else the next one, at once.
    void wake();

  private:
    int notices_ = -1;
    int wakeUps_ = -1;
};

}  // namespace qvr
