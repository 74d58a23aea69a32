#pragma once

#include <QString>

#include <functional>

namespace qvr {

// What a running stretch has shown so far: an error file asks for another try, its output says
// it works, an end without either says it failed.
enum class StretchSign { Nothing, ErrorFile, Output, Ended };

// Looks at the stretch's work folder (with trailing separator). The tool's end is read before its
// files: whatever it wrote before it ended is then seen, so a stretch that wrote its error file
// and ended between two looks is retried, not taken for a failed one.
StretchSign ReadStretchSigns(const QString& workFolder, const std::function<bool()>& ended);

}  // namespace qvr
