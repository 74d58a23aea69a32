#pragma once

#include "platform/Clock.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace qvr {

// The waits of a conversion job, driven by a timer: a wait checks its condition in rounds and
// answers once, when the condition holds, its deadline has passed or Abort was pressed. Nothing
// blocks and nothing re-enters the event loop, so the window repaints between rounds and several
// jobs can wait side by side. One wait at a time; the answer may start the next one.
class JobWaits : public QObject {
    Q_OBJECT

  public:
    enum class Stop { Done, TimedOut, Aborted };
    using Then = std::function<void(Stop)>;

    JobWaits(const Clock& clock, const bool& abortRequested, QObject* parent = nullptr);

    // Rounds until `done` answers true, the deadline passes or Abort is pressed. Abort counts
    // before `done`, and `done` before the deadline.
    void until(std::function<bool()> done, Milliseconds deadline, Then then);
    // Like `until`, for work done in chunks by `done`: no waiting between the rounds.
    void work(std::function<bool()> done, Milliseconds deadline, Then then);
    // A pause; Abort cuts it short. Answers Done or Aborted.
    void pause(Milliseconds duration, Then then);
    // Forgets the wait in progress without answering it.
    void cancel();

    bool waiting() const { return bool(then_); }
    Milliseconds now() const { return clock_.now(); }
    bool aborted() const { return abortRequested_; }

  private:
    void start(std::function<bool()> done, Milliseconds deadline, bool busy, Then then);
    void round();
    void answer(Stop stop);

    const Clock& clock_;
    const bool& abortRequested_;
    QTimer timer_;
    std::function<bool()> done_;
    Milliseconds deadline_{0};
    bool busy_ = false;
    Then then_;
};

}  // namespace qvr
