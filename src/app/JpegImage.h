#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <optional>

namespace qvr {

// JPEG pictures through libjpeg. Large pictures are decoded at libjpeg's reduced scales (n/8),
// so a picture shown in a smaller window never costs a full-size decode.

// The size stored in a JPEG's header; nothing when the data is no readable JPEG.
std::optional<QSize> JpegPictureSize(QByteArrayView data);

// The smallest scale in eighths (1..8) at which a picture of this size still covers `cover` in
// both directions; 8 when even the full size does not, or when the cover is empty.
int JpegScaleFor(QSize picture, QSize cover);

// Decodes at JpegScaleFor(picture, cover). Nothing when the data is not a JPEG, is damaged
// beyond reading, holds colours other than grey or RGB, or is absurdly large.
std::optional<QImage> DecodeJpeg(QByteArrayView data, QSize cover = {});

}  // namespace qvr
