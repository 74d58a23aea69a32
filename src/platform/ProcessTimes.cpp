#include "ProcessTimes.h"

#include "FileSystem.h"

#include <QByteArray>
#include <QList>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace qvr {

double OwnCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace qvr

namespace qvr {

double SecondsSinceProcessStart()
{
    // Field 22 of /proc/self/stat: the start time in clock ticks after boot.
    const QByteArray stat = ReadFileBytes(QStringLiteral("/proc/self/stat")).value_or(QByteArray());
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) {
        return 0;
    }
    const double started = fields[19].toDouble() / double(::sysconf(_SC_CLK_TCK));
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started;
}

}  // namespace qvr
