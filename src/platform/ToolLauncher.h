#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qvr {

// Starts tools from a thread of its own. On a busy machine the system may take tens of
// milliseconds to run a new program (the new process waits for a processor before it can take
// its program's place), and the thread that asks, the window's, must not wait for that. The
// tools end with the launcher's thread (see ChildLife::EndsWithUs), so the launcher lives as long
// as its owner.
class ToolLauncher : public QObject {
    Q_OBJECT

  public:
    struct Request {
        std::int64_t ticket = 0;
        QString program;  // a path
        QStringList arguments;
        QString folder;
    };
    struct Launched {
        std::int64_t ticket = 0;
        pid_t pid = -1;  // -1: the program could not be run
    };

    // How a request becomes a process: SpawnHidden unless a test puts itself in between.
    using Spawner = std::function<pid_t(const Request&)>;

    explicit ToolLauncher(Spawner spawner = {}, QObject* parent = nullptr);
    // Waits for the start in progress; requests not begun are dropped. What was started and not
    // taken yet is still answered by takeLaunched().
    ~ToolLauncher() override;
    ToolLauncher(const ToolLauncher&) = delete;
    ToolLauncher& operator=(const ToolLauncher&) = delete;

    void launch(Request request);
    // The starts done since the last call, in the order they were asked for.
    std::vector<Launched> takeLaunched();
    // Ends the launcher's thread after the start in progress; the tools it started end with it.
    void stop();

  signals:
    // On the owner's thread, when takeLaunched() has something.
    void launched();

  private:
    void serve();

    Spawner spawner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> requests_;
    std::vector<Launched> done_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace qvr
