#pragma once

#include <QStringList>

#include <cstdio>

namespace qvr {

// What the command line asked for.
struct BatchRequest {
    int frequency = 0;  // hertz, one of the ten
    bool subfolders = false;
    bool cpuReport = false;  // print the engine's own CPU time at the end
    QStringList paths;
    QString error;  // set when the command line could not be understood
};

BatchRequest ParseBatchArguments(const QStringList& arguments);
QString BatchUsage();

// Converts the request's files with the engine, printing one line per file to `out`; answers
// the exit code: 0 when every file produced its output.
int RunBatch(const BatchRequest& request, const QString& programFolder, std::FILE* out,
             std::FILE* err);

}  // namespace qvr
