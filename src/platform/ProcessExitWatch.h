#pragma once

#include <QObject>

#include <sys/types.h>

class QSocketNotifier;
class QTimer;

namespace qvr {

// Tells when a child process has ended, without reaping it: the system wakes the event loop
// through a process descriptor, so nobody has to ask in rounds. On a system without process
// descriptors it asks every few milliseconds instead.
class ProcessExitWatch : public QObject {
    Q_OBJECT

  public:
    explicit ProcessExitWatch(pid_t pid, QObject* parent = nullptr);
    ~ProcessExitWatch() override;
    ProcessExitWatch(const ProcessExitWatch&) = delete;
    ProcessExitWatch& operator=(const ProcessExitWatch&) = delete;

    // True when the process was watched through its descriptor (the usual case).
    bool eventDriven() const { return descriptor_ >= 0; }

  signals:
    // Once, when the process has ended (also when it had ended before the watch began).
    void ended();

  private:
    void check();

    pid_t pid_;
    int descriptor_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* fallback_ = nullptr;
    bool told_ = false;
};

}  // namespace qvr
