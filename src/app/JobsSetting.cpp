#include "JobsSetting.h"

#include <QSettings>
#include <QThread>

#include <algorithm>

namespace qvr {
namespace {

QSettings userSettings()
{
    return QSettings(QStringLiteral("Dornevik"), QStringLiteral("Quorvane"));
}

int cores()
{
    return std::max(1, QThread::idealThreadCount());
}

}  // namespace

int RememberedJobs()
{
    bool number = false;
    const int jobs = userSettings().value(QStringLiteral("jobs")).toInt(&number);
    // A value edited by hand out of range falls back to the default.
    return number && jobs >= 1 && jobs <= MostJobsOffered() ? jobs : cores();
}

void RememberJobs(int jobs)
{
    userSettings().setValue(QStringLiteral("jobs"), jobs);
}

int MostJobsOffered()
{
    return std::max(8, cores());
}

}  // namespace qvr
