#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

namespace qvr {

// Notification slots of the CD components; the sender is the component that raises them.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TProgressEvent = std::function<void(QObject* Sender, std::uint16_t PercentComplete)>;
using TProcessTrackEvent = std::function<void(QObject* Sender, std::uint16_t TrackNum)>;
using TProcessFileEvent =
    std::function<void(QObject* Sender, std::uint16_t Num, const QString& FileName)>;

}  // namespace qvr
