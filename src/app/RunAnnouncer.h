#pragma once

#include "convert/RunView.h"

#include <functional>

namespace qvr {

class DesktopNotifier;
class ProgramTexts;

// Tells a person who works in another program how a run goes: the task-bar entry shows the
// share of rows done while it runs, and a notification gives the counts at its end.
class RunAnnouncer {
  public:
    // texts: the texts of the run's language as they are at the moment of asking.
    RunAnnouncer(DesktopNotifier& notifier, std::function<const ProgramTexts&()> texts);

    void runStarted(int rows);
    void jobEnded(const JobResult& result);
    void runEnded();

  private:
    DesktopNotifier& notifier_;
    std::function<const ProgramTexts&()> texts_;
    bool running_ = false;  // the window also unlocks after a failed CD reading, without a run
    int rows_ = 0;
    int ended_ = 0;
    int converted_ = 0;
    bool aborted_ = false;
};

}  // namespace qvr
