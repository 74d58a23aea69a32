#pragma once

#include <QObject>

#include <signal.h>

class QSocketNotifier;

namespace qvr {

// Turns the signals that would end the process (SIGINT, SIGTERM, SIGHUP) into a Qt signal on
// the event loop, so the program can finish or abort its run and end in order. While the object
// lives the three signals do not kill the process; its destructor puts back the handlers that
// were there before. Only one object may live at a time: a second one, while the first lives,
// changes nothing and reports nothing.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The first signal received while the object lived, as reported by received(); 0 when none
    // came.
    int first() const { return first_; }

  signals:
    // Emitted on the event loop, once per signal that arrived.
    void received(int signalNumber);

  private:
    void readPending();

    int readEnd_ = -1;
    int writeEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction former_[3] = {};
    int first_ = 0;
};

}  // namespace qvr
