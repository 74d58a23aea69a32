#pragma once

#include "JpegWriter.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace qvr::test {

// A JPEG of one colour, written by libjpeg.
inline QByteArray SolidJpeg(QSize size, QColor colour, int quality = 95)
{
    tools::RgbImage image(size.width(), size.height());
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        image.pixels[i] = static_cast<std::uint8_t>(colour.red());
        image.pixels[i + 1] = static_cast<std::uint8_t>(colour.green());
        image.pixels[i + 2] = static_cast<std::uint8_t>(colour.blue());
    }
    const std::vector<std::uint8_t> jpeg = tools::EncodeJpeg(image, quality);
    return QByteArray(reinterpret_cast<const char*>(jpeg.data()),
                      static_cast<qsizetype>(jpeg.size()));
}

// JPEG colours come back within a few steps.
inline bool CloseColours(QColor a, QColor b, int tolerance = 4)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

inline QColor CentreColour(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace qvr::test
