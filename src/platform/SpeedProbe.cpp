#include "SpeedProbe.h"

#include "PCSpeed_DVK.h"

#include <QThread>

#include <utility>

namespace qvr {

SpeedProbe::SpeedProbe(QObject* parent, Measure measure)
    : QObject(parent),
      measure_(measure ? std::move(measure)
                       : Measure([](const QString& folder, const std::atomic<bool>& stop) {
                             return MeasurePCSpeedQuietly(folder, &stop);
                         }))
{
}

SpeedProbe::~SpeedProbe()
{
    if (thread_) {
        // Closing the window must not wait for a measure that only runs on idle time.
        stop_ = true;
        thread_->wait();
    }
}

void SpeedProbe::start(const QString& folder)
{
    thread_.reset(QThread::create([this, folder] { score_ = measure_(folder, stop_); }));
    connect(thread_.get(), &QThread::finished, this, [this] { emit measured(score_.load()); });
    // It only ever runs when nothing else wants the processor (a conversion started at once is not
    // slowed by it); measured on a busy machine it reads slower, which only lengthens the time
    // limits of the runs that use it.
    thread_->start(QThread::IdlePriority);
}

}  // namespace qvr
