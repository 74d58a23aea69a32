#pragma once

#include "platform/Clock.h"
#include "platform/Processes.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace qvr {

// The waits of a conversion job, driven by events: a wait asks its condition when it begins and
// again each time something it depends on happens (a tool ends, a file appears in a folder, a
// decode on another thread finishes, Abort is pressed), and answers once, when the condition
// holds, its deadline has passed or Abort was pressed. Nothing blocks, nothing asks in rounds
// and nothing re-enters the event loop, so the window repaints at once and several jobs can wait
// side by side. One wait at a time; the answer may start the next one.
class JobWaits : public QObject {
    Q_OBJECT

  public:
    enum class Stop { Done, TimedOut, Aborted };
    using Then = std::function<void(Stop)>;

    JobWaits(const Clock& clock, const bool& abortRequested, QObject* parent = nullptr);
    ~JobWaits() override;

    // Until `done` answers true, the deadline passes or Abort is pressed. Abort counts before
    // `done`, and `done` before the deadline. Name what may change `done` with the wake calls
    // below, right after this one.
    void until(std::function<bool()> done, Milliseconds deadline, Then then);
    // Like `until`, for work done in chunks by `done`: the next chunk follows at once.
    void work(std::function<bool()> done, Milliseconds deadline, Then then);
    // Answers Done from the event loop, or Aborted when Abort was pressed meanwhile.
    void soon(Then then);
    // A pause; Abort cuts it short. Answers Done or Aborted.
    void pause(Milliseconds duration, Then then);
    // Forgets the wait in progress without answering it.
    void cancel();

    // The wait in progress is asked again when this tool has started, could not start or ended.
    void wakeWhenEnds(ToolProcesses& tools, ToolId tool);
    // The wait in progress is asked again when a file appears in or leaves this folder.
    void wakeOnChangesIn(const QString& folder);
    // Asks the wait in progress again, from the event loop; may be called from any thread.
    void wake();

    bool waiting() const { return bool(then_); }
    Milliseconds now() const { return clock_.now(); }
    bool aborted() const { return abortRequested_; }

  private:
    void start(std::function<bool()> done, Milliseconds deadline, bool busy, Then then);
    void ask();
    void armDeadline();
    void answer(Stop stop);
    void forgetSources();

    const Clock& clock_;
    const bool& abortRequested_;
    QTimer askSoon_;
    QTimer deadlineTimer_;
    std::function<bool()> done_;
    Milliseconds deadline_{0};
    bool busy_ = false;
    Then then_;
    std::vector<std::unique_ptr<QObject>> sources_;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace qvr
