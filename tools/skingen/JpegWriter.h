#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvr::tools {

// A picture of 8-bit red, green, blue triples, row after row.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
};

// The picture as a baseline JPEG of the given quality (1..100). Empty when libjpeg fails.
std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality);

// Writes the picture as a JPEG file; false when it cannot be encoded or written.
bool WriteJpegFile(const std::string& path, const RgbImage& image, int quality);

}  // namespace qvr::tools
