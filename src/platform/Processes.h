#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <vector>

namespace qvr {

// How a started tool stands.
struct ToolStatus {
    enum class State { Running, Exited, Signalled };
    State state = State::Running;
    int code = 0;  // the exit code, or the signal that ended it

    bool running() const { return state == State::Running; }
    bool succeeded() const { return state == State::Exited && code == 0; }
    // The system's loader (or the shell) could not run the program: a missing library, a
    // program that is not executable.
    bool notRunnable() const { return state == State::Exited && (code == 126 || code == 127); }
};

// True while a process of this id exists and has not ended, whoever it belongs to.
bool ProcessIsRunning(pid_t pid);

// The tool processes this program started, and only those: each runs hidden in a process group
// of its own (no terminal, input from /dev/null, output discarded), so ending it ends whatever it
// started too. Nothing found by name among the user's other processes is ever touched. The
// destructor ends every tool that is still running, and the system ends them should this program
// be killed: tools are started from the main thread only (see ChildLife::EndsWithUs).
class ToolProcesses {
  public:
    ToolProcesses() = default;
    ~ToolProcesses();
    ToolProcesses(const ToolProcesses&) = delete;
    ToolProcesses& operator=(const ToolProcesses&) = delete;

    // Starts `program`, found in `folder` (else on the search path), with `folder` as working
    // folder and the arguments as they are (no shell in between). -1 when it cannot be started.
    pid_t start(const QString& folder, const QString& program, const QStringList& arguments);
    // Runs a ".bat" document as the Windows shell would: a "cd /d" line sets the working
    // folder, the next line names the program and its arguments. -1 when it cannot be started.
    pid_t startBatch(const QString& file);

    // How the tool stands now; never blocks. A tool that was ended by us, or that is not ours,
    // counts as killed.
    ToolStatus status(pid_t pid);
    // Ends the tool and everything in its process group at once; never waits for it.
    void end(pid_t pid);
    // Ends the first running tool whose identification text (low 16 bits of its process id,
    // ":", its command line) contains `text`.
    void CloseToolWindow(const QString& text);
    void endAll();
    bool anyRunning();

  private:
    struct Tool {
        pid_t pid = -1;
        QString commandLine;
        ToolStatus status;
    };
    Tool* find(pid_t pid);
    void reap(Tool& tool, bool block);
    pid_t track(pid_t pid, const QString& program, const QStringList& arguments);
    void reapDying(bool block);

    std::vector<Tool> tools_;
    std::vector<pid_t> dying_;  // killed, not yet reaped
};

// The program that a tool start would run: `folder` + `program` when it is there, else the first
// match on PATH, else empty.
QString FindProgram(const QString& folder, const QString& program);

}  // namespace qvr
