#include "SpeedProbe.h"

#include "PCSpeed_DVK.h"

#include <QThread>

namespace qvr {

SpeedProbe::SpeedProbe(QObject* parent) : QObject(parent) {}

SpeedProbe::~SpeedProbe()
{
    if (thread_) {
        thread_->wait();
    }
}

void SpeedProbe::start(const QString& folder)
{
    thread_.reset(QThread::create([this, folder] { score_ = MeasurePCSpeedQuietly(folder); }));
    connect(thread_.get(), &QThread::finished, this, [this] { emit measured(score_.load()); });
    thread_->start(QThread::LowPriority);
}

}  // namespace qvr
