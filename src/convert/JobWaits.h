#pragma once

#include "platform/Clock.h"

#include <functional>

namespace qvr {

// The waits of a conversion job. Every round handles the pending events, so the window repaints
// and Abort is seen at once; every wait ends at a deadline on the job's clock.
class JobWaits {
  public:
    enum class Stop { Done, TimedOut, Aborted };

    JobWaits(const Clock& clock, const bool& abortRequested);

    // Rounds of event handling until `done` answers true, the deadline passes or Abort is
    // pressed. Abort counts before `done`, and `done` before the deadline.
    Stop until(const std::function<bool()>& done, Milliseconds deadline) const;
    // Like `until`, for work done in chunks by `done`: no waiting between the rounds.
    Stop work(const std::function<bool()>& done, Milliseconds deadline) const;
    // A pause that keeps the events flowing; Abort cuts it short.
    Stop pause(Milliseconds duration) const;
    // One round of event handling that does not wait: between chunks of work.
    void handleEvents() const;

    Milliseconds now() const { return clock_.now(); }
    bool aborted() const { return abortRequested_; }

  private:
    Stop rounds(const std::function<bool()>& done, Milliseconds deadline, bool wait) const;

    const Clock& clock_;
    const bool& abortRequested_;
};

}  // namespace qvr
