#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace qvr {

// Starts the program found in the folder (else on the search path) with the folder as working
// folder, hidden (no terminal, input from /dev/null, output discarded), and waits for it to end
// while pending events are processed. The exit code is not looked at. A program that cannot be
// started shows "Error starting " and its name.
void RunAndWait(const QString& folder, const QString& program, const QStringList& arguments);

// Opens a document hidden without waiting. A ".bat" document runs as the Windows shell would
// run it: a "cd /d" line sets the working folder, the next line names the program and its
// arguments. Other documents open with the desktop's handler. True when it was started.
bool StartHidden(const QString& file);

// Like StartHidden, and gives the started process so the caller can tell when it has ended.
bool StartHidden(const QString& file, pid_t& started);

// True when a process started by StartHidden has ended (or was never ours).
bool HasEnded(pid_t pid);

// Asks the first of this user's processes whose identification text (low 16 bits of the
// process id, ":", the command line) contains `text` to end, and returns once it has ended.
void CloseToolWindow(const QString& text);

// The program that RunAndWait would start: `folder` + `program` when it is there, else the
// first match on PATH, else empty.
QString FindProgram(const QString& folder, const QString& program);

}  // namespace qvr
