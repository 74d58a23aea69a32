#pragma once

#include <QStringList>

#include <cstdio>
#include <vector>

namespace qvr {

class AppSession;

// Exit codes of quorvane-batch.
enum BatchExit {
    kAllConverted = 0,
    kSomeNotConverted = 1,
    kWrongCommandLine = 2,
    kAnotherCopyRuns = 3,
};

// What the command line asked for.
struct BatchRequest {
    int frequency = 0;  // hertz, one of the ten
    bool subfolders = false;
    bool cpuReport = false;   // print the engine's own CPU time at the end
    bool help = false;        // print the usage and convert nothing
    QStringList paths;        // absolute, as the system names them
    QString cdSource;         // --cd: a drive's device path or a CUE sheet, absolute
    QString cdName;           // --cd-name
    std::vector<int> tracks;  // --tracks; empty: every track
    int jobs = 0;             // --jobs: files converted at once; 0: one per processor core
    bool resume = false;      // --resume: keep outputs of an earlier run that are current
    QString workFolder;       // --work-folder, absolute; empty: the program's own
    QString outputFolder;     // --output-folder, absolute; empty: ~/Documents/Quorvane
    QString error;            // set when the command line could not be understood
};

// `arguments` are the words after the program name, decoded with fromNativeBytes so that any
// name the file system allows survives; relative paths are taken from `currentFolder`.
BatchRequest ParseBatchArguments(const QStringList& arguments, const QString& currentFolder);
QString BatchUsage();

// A name as it stands in a line of output: tab, newline and backslash escaped as \t, \n, \\.
QString EscapedForLine(const QString& text);

// Converts the request's files with the engine, printing one line per file to `out` and a
// summary to `err`; answers the exit code. A termination signal ends the run at once, cleans up
// and answers 128 + the signal's number. The session's program folder and language are settled;
// notes and the busy cursor go through its host.
int RunBatch(const BatchRequest& request, AppSession& session, std::FILE* out, std::FILE* err);

}  // namespace qvr
