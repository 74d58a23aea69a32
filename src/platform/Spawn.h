#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

namespace qvr {

// Whether a started program may outlive this one.
enum class ChildLife {
    Independent,  // a program the user goes on with (a file manager, a browser)
    // A tool of ours: the system kills it when this program ends, however it ends (kill -9
    // too). The signal is tied to the thread that starts the child, so such children are
    // started from a thread that outlives them (ToolLauncher's).
    EndsWithUs,
};

// Starts a program hidden: input from /dev/null, output discarded; an independent program in a
// session of its own, a tool in a process group of its own within this program's session. The
// program gets the arguments as they are, no shell in between. Answers the process id, or -1 when
// the program could not be started.
pid_t SpawnHidden(const QString& programPath, const QStringList& arguments,
                  const QString& workingFolder, ChildLife life = ChildLife::Independent);

// Takes over a child nobody waits for, so it does not linger as a zombie once it ends.
void AdoptChild(pid_t pid);

// How a child ended, once it has (reaped): its exit status, or 128 + the signal that ended it;
// nothing while it runs.
std::optional<int> ChildExitStatus(pid_t pid);

// True when the child has ended; reaps it.
bool ChildHasEnded(pid_t pid);

}  // namespace qvr
