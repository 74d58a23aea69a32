#pragma once

#include "ProcessExitWatch.h"
#include "ToolLauncher.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qvr {

// How a started tool stands.
struct ToolStatus {
    enum class State { Running, Exited, Signalled, NotStarted };
    State state = State::Running;  // also while the system is still starting it
    int code = 0;                  // the exit code, or the signal that ended it

    bool running() const { return state == State::Running; }
    bool succeeded() const { return state == State::Exited && code == 0; }
    // The program could not be run: the system refused it, or its loader (or the shell) could
    // not run it (a missing library, a program that is not executable).
    bool notRunnable() const
    {
        return state == State::NotStarted ||
               (state == State::Exited && (code == 126 || code == 127));
    }
};

// A tool started through ToolProcesses; known at once, before the system has started it.
using ToolId = std::int64_t;
constexpr ToolId kNoTool = -1;

// True while a process of this id exists and has not ended, whoever it belongs to.
bool ProcessIsRunning(pid_t pid);

// The tool processes this program started, and only those: each runs hidden in a process group
// of its own (no terminal, input from /dev/null, output discarded), so ending it ends whatever it
// started too. Nothing found by name among the user's other processes is ever touched. Tools are
// started by a launcher thread, so asking for one never waits for the system to run it; what
// happens to a tool (started, not started, ended) is told by toolChanged(). The destructor ends
// every tool that is still running, and the system ends them should this program be killed (see
// ChildLife::EndsWithUs).
class ToolProcesses : public QObject {
    Q_OBJECT

  public:
    explicit ToolProcesses(ToolLauncher::Spawner spawner = {}, QObject* parent = nullptr);
    ~ToolProcesses() override;
    ToolProcesses(const ToolProcesses&) = delete;
    ToolProcesses& operator=(const ToolProcesses&) = delete;

    // Starts `program`, found in `folder` (else on the search path), with `folder` as working
    // folder and the arguments as they are (no shell in between). kNoTool when there is no such
    // program; a program the system cannot run ends as State::NotStarted.
    ToolId start(const QString& folder, const QString& program, const QStringList& arguments);
    // Runs a ".bat" document as the Windows shell would: a "cd /d" line sets the working
    // folder, the next line names the program and its arguments. kNoTool when it names none.
    ToolId startBatch(const QString& file);

    // How the tool stands now; never blocks. A tool that was ended by us, or that is not ours,
    // counts as killed.
    ToolStatus status(ToolId id);
    // The tool's process, once the system has started it.
    std::optional<pid_t> processOf(ToolId id);
    // Ends the tool and everything in its process group at once (a tool still being started, as
    // soon as it runs); never waits for it.
    void end(ToolId id);
    // Ends the first running tool whose identification text (low 16 bits of its process id,
    // ":", its command line) contains `text`.
    void CloseToolWindow(const QString& text);
    void endAll();
    bool anyRunning();

  signals:
    // The tool has started, could not be started, or has ended.
    void toolChanged(ToolId id);

  private:
    struct Tool {
        ToolId id = kNoTool;
        pid_t pid = 0;  // 0 while the launcher starts it
        QString commandLine;
        ToolStatus status;
        std::unique_ptr<ProcessExitWatch> exitWatch;
    };
    Tool* find(ToolId id);
    void reap(Tool& tool, bool block);
    ToolId launch(const QString& folder, const QString& program, const QStringList& arguments);
    std::vector<ToolId> absorbLaunched();
    void takeLaunched();
    void killUnwanted(pid_t pid);
    void announce(const std::vector<ToolId>& changed);
    void catchUp();
    void forget(Tool* tool);
    void reapDying(bool block);

    ToolId nextId_ = 1;
    std::vector<Tool> tools_;
    std::vector<pid_t> dying_;  // killed, not yet reaped
    std::unique_ptr<ToolLauncher> launcher_;
};

// The program that a tool start would run: `folder` + `program` when it is there, else the first
// match on PATH, else empty.
QString FindProgram(const QString& folder, const QString& program);

}  // namespace qvr
