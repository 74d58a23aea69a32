#pragma once

namespace qvr {

// The heavy work of a conversion (the tools, the decodes of the checks) runs this much nicer than
// the program's main thread: however many files run at once, the thread that repaints the window
// and drives the jobs gets the processor first, and the work keeps the machine's time otherwise.
constexpr int kWorkNiceness = 5;

// Lowers the priority of the calling thread (and of the threads it starts) to that of the work.
void LowerThisThreadToWorkPriority();

}  // namespace qvr
