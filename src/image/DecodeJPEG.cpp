#include "image/ImageDecoders.h"

#include "image/DecoderSupport.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace kestrel {
using namespace image_detail;

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// DecodeJPEG, so nothing between the two may hold an object with a destructor.
struct JpegErrorJump
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorJump*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

std::uint8_t Scale255(unsigned a, unsigned b)
{
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

// libjpeg leaves CMYK to the application. Adobe's files store the inks inverted (0 = full ink).
void CmykRowToBgra(std::uint8_t* row, std::uint32_t width, bool inverted)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 4) {
        unsigned c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        row[0] = Scale255(y, k);
        row[1] = Scale255(m, k);
        row[2] = Scale255(c, k);
        row[3] = 255;
    }
}

// Every local here is trivially destructible: a library error leaves this frame by longjmp.
bool ReadPicture(jpeg_decompress_struct& info, DecodedImage& image)
{
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width > MaxDecodedImageSide || info.image_height > MaxDecodedImageSide)
        return false;
    // The library turns greyscale and YCbCr into colour, but not CMYK.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    if (!AllocatePixels(image, info.output_width, info.output_height))
        return false;
    const size_t rowBytes = size_t{image.width} * 4;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + info.output_scanline * rowBytes;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
        if (cmyk)
            CmykRowToBgra(row, image.width, info.saw_Adobe_marker != 0);
    }
    // Whatever follows the last scan line cannot change the picture, so it is not read.
    return true;
}

} // namespace

bool DecodeJPEG(std::span<const std::uint8_t> data, DecodedImage& image)
{
    image = DecodedImage{};
    jpeg_decompress_struct info{};
    JpegErrorJump errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnError;
    errors.manager.output_message = IgnoreMessage;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return Fail(image);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    const bool decoded = ReadPicture(info, image);
    jpeg_destroy_decompress(&info);
    return decoded || Fail(image);
}

} // namespace kestrel
