#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace qvr {

// Why an operation of the CD components failed.
enum class CdError {
    Initialization,       // the library failed while starting or reading a drive
    SettingParameters,    // the library failed while taking the drive settings
    InvalidParameters,    // the library refused the drive settings
    UnknownOutputFormat,  // the drive describes a format no file is written in
    RipRunning,           // a rip was asked for while one runs
    NoSuchTrack,          // a track number outside the track list
    CannotCreateFile,     // the output file or its jitter log cannot be created or named
    Write,                // the output file took fewer bytes than written
    LibraryFault,         // the library failed in the middle of a rip
    NoDrive,              // no drive or CUE sheet of the name asked for
    UnreadableDisc,       // the drive holds no disc that can be read
};

// A failure and the message that names what failed.
struct CdFailure {
    CdError kind = CdError::Initialization;
    QString message;
};

// A value, or the failure that kept the operation from giving one. Asking a success for its
// failure, or a failure for its value, throws: the caller has not looked.
template <typename T>
class [[nodiscard]] CdResult {
  public:
    CdResult(T value) : state_(std::move(value)) {}
    CdResult(CdFailure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(state_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const CdFailure& failure() const { return std::get<CdFailure>(state_); }

    // A value equal to `expected`; never a failure.
    friend bool operator==(const CdResult& result, const T& expected)
    {
        return result.ok() && result.value() == expected;
    }

  private:
    std::variant<T, CdFailure> state_;
};

// An operation that gives nothing but may fail.
template <>
class [[nodiscard]] CdResult<void> {
  public:
    CdResult() = default;
    CdResult(CdFailure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_.has_value(); }
    explicit operator bool() const { return ok(); }
    const CdFailure& failure() const { return failure_.value(); }

  private:
    std::optional<CdFailure> failure_;
};

}  // namespace qvr
