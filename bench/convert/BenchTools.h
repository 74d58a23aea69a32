#pragma once

// What the conversion benchmarks share: running the real tools to make their inputs, and the
// median of a series of timings.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace qvr::bench {

inline bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

inline bool ffmpeg(const QStringList& arguments)
{
    return run(QStringLiteral("ffmpeg"),
               QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
                   arguments);
}

inline double medianMs(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace qvr::bench
