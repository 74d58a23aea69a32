#pragma once

#include <cstddef>

namespace qvr {

// The main window's built-in background (JPEG, 1920 x 1234), drawn at build time by
// tools/skingen and compiled into the program; shown until a skin picture has been loaded.
extern const unsigned char kBuiltInBackgroundJpeg[];
extern const std::size_t kBuiltInBackgroundJpegSize;

}  // namespace qvr
