#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>

class QObject;

namespace qvr {

// Notification slots of the CD components; the sender is the component that raises them.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TProgressEvent = std::function<void(QObject* Sender, std::uint16_t PercentComplete)>;
using TProcessTrackEvent = std::function<void(QObject* Sender, std::uint16_t TrackNum)>;
using TProcessFileEvent =
    std::function<void(QObject* Sender, std::uint16_t Num, const QString& FileName)>;

// Raised when settings are copied from an object of a class that cannot give them.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "Cannot assign a TSource to a TTarget" (or "nil" when there is no source).
[[noreturn]] void AssignError(const QObject* source, const char* targetClass);

}  // namespace qvr
