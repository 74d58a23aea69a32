#include "JpegWriter.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace qvr::tools {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// libjpeg state and its output buffer; released whatever way the encoding ends.
struct Compressor {
    jpeg_compress_struct cinfo{};
    ErrorManager error{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    ~Compressor()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

// All libjpeg calls happen here; a fatal error comes back through longjmp, so this frame
// holds no object with a destructor.
bool compress(Compressor& c, const RgbImage& image, int quality)
{
    if (setjmp(c.error.jump)) {
        return false;
    }
    c.cinfo.err = jpeg_std_error(&c.error.pub);
    c.error.pub.error_exit = jumpBack;
    jpeg_create_compress(&c.cinfo);
    jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
    c.cinfo.image_width = static_cast<JDIMENSION>(image.width);
    c.cinfo.image_height = static_cast<JDIMENSION>(image.height);
    c.cinfo.input_components = 3;
    c.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, quality, TRUE);
    c.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&c.cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + c.cinfo.next_scanline * stride);
        jpeg_write_scanlines(&c.cinfo, &row, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
        return {};
    }
    auto c = std::make_unique<Compressor>();
    if (!compress(*c, image, quality)) {
        return {};
    }
    return std::vector<std::uint8_t>(c->buffer, c->buffer + c->size);
}

bool WriteJpegFile(const std::string& path, const RgbImage& image, int quality)
{
    const std::vector<std::uint8_t> bytes = EncodeJpeg(image, quality);
    if (bytes.empty()) {
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) {
        return false;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
           std::fflush(file.get()) == 0;
}

}  // namespace qvr::tools
