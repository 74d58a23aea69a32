#include "JpegImage.h"

#include <QSysInfo>

#include <jpeglib.h>
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <csetjmp>
#include <memory>

namespace qvr {
namespace {

// Larger pictures are refused: nothing the program ships comes near, a damaged header might.
constexpr qint64 kMaxPixels = qint64(16384) * 16384;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings about damaged data are not worth a line on the console: what can be decoded is shown.
void keepQuiet(j_common_ptr) {}

// libjpeg's decoder state, destroyed however the decoding ends.
struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorManager error{};

    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
};

enum class Step { HeaderOnly, Decode };

// Every libjpeg call happens in this frame. A fatal libjpeg error returns here through longjmp,
// so nothing in this frame may have a destructor; the picture lives in the caller.
bool run(Decompressor& d, QByteArrayView data, Step step, QSize cover, QSize* size, QImage* picture)
{
    if (setjmp(d.error.jump)) {
        return false;
    }
    d.cinfo.err = jpeg_std_error(&d.error.pub);
    d.error.pub.error_exit = jumpBack;
    d.error.pub.output_message = keepQuiet;
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    *size = QSize(static_cast<int>(d.cinfo.image_width), static_cast<int>(d.cinfo.image_height));
    if (qint64(size->width()) * size->height() > kMaxPixels) {
        return false;
    }
    if (step == Step::HeaderOnly) {
        return true;
    }
    if (d.cinfo.jpeg_color_space != JCS_GRAYSCALE && d.cinfo.jpeg_color_space != JCS_YCbCr &&
        d.cinfo.jpeg_color_space != JCS_RGB) {
        return false;
    }
    d.cinfo.scale_num = static_cast<unsigned>(JpegScaleFor(*size, cover));
    d.cinfo.scale_denom = 8;
    // QImage::Format_RGB32 is 0xffRRGGBB in native byte order.
    d.cinfo.out_color_space =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    jpeg_start_decompress(&d.cinfo);
    *picture = QImage(static_cast<int>(d.cinfo.output_width),
                      static_cast<int>(d.cinfo.output_height), QImage::Format_RGB32);
    if (picture->isNull()) {
        return false;
    }
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = picture->scanLine(static_cast<int>(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

}  // namespace

int JpegScaleFor(QSize picture, QSize cover)
{
    if (cover.isEmpty() || picture.isEmpty()) {
        return 8;
    }
    for (int eighths = 1; eighths < 8; ++eighths) {
        // libjpeg rounds the scaled dimensions up.
        const qint64 w = (qint64(picture.width()) * eighths + 7) / 8;
        const qint64 h = (qint64(picture.height()) * eighths + 7) / 8;
        if (w >= cover.width() && h >= cover.height()) {
            return eighths;
        }
    }
    return 8;
}

std::optional<QSize> JpegPictureSize(QByteArrayView data)
{
    if (data.isEmpty()) {
        return std::nullopt;
    }
    auto d = std::make_unique<Decompressor>();
    QSize size;
    if (!run(*d, data, Step::HeaderOnly, {}, &size, nullptr)) {
        return std::nullopt;
    }
    return size;
}

std::optional<QImage> DecodeJpeg(QByteArrayView data, QSize cover)
{
    if (data.isEmpty()) {
        return std::nullopt;
    }
    auto d = std::make_unique<Decompressor>();
    QSize size;
    QImage picture;
    if (!run(*d, data, Step::Decode, cover, &size, &picture)) {
        return std::nullopt;
    }
    return picture;
}

}  // namespace qvr
