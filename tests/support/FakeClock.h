#pragma once

#include "platform/Clock.h"

#include <QThread>

namespace qvr::test {

// A clock the test drives: time moves only when the test (or a pause) moves it. Pauses pass at
// once, but give real processes a moment to go on.
class FakeClock : public Clock {
  public:
    Milliseconds now() const override { return now_; }
    void sleep(Milliseconds duration) const override
    {
        now_ += duration;
        QThread::msleep(1);
    }
    void advance(Milliseconds duration) { now_ += duration; }

  private:
    mutable Milliseconds now_{1'000'000};
};

}  // namespace qvr::test
