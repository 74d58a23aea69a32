#pragma once

namespace qvr {

// The heavy work of a conversion runs nicer than the program's main thread: however many files
// run at once, the thread that repaints the window and drives the jobs gets the processor first.
// The checks' decodes come before the tools: a check stands between its file and its end (the
// output takes its name only once it passed), while a tool beside it has seconds or minutes to
// go, so a check that waited behind the tools would hold its file for nothing.
constexpr int kCheckNiceness = 5;
constexpr int kToolNiceness = 10;

// Lowers the priority of the calling thread (and of the threads it starts) to that of the checks.
void LowerThisThreadToCheckPriority();

}  // namespace qvr
