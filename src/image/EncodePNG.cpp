#include "image/EncodePNG.h"

#include <csetjmp>
#include <new>

#include <png.h>

namespace kestrel {
namespace {

struct MemoryOutput
{
    std::vector<std::uint8_t>* bytes;
};

void WriteToMemory(png_structp png, png_bytep data, size_t count)
{
    auto* output = static_cast<MemoryOutput*>(png_get_io_ptr(png));
    bool grown = true;
    try {
        output->bytes->insert(output->bytes->end(), data, data + count);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    // Raised outside the handler: a jump must not leave a catch block.
    if (!grown)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Every local here is trivially destructible: a library error leaves this frame by longjmp.
void WritePicture(png_structp png, png_infop info, const DecodedImage& image)
{
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    const size_t rowBytes = size_t{image.width} * 4;
    for (std::uint32_t y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + y * rowBytes);
    png_write_end(png, info);
}

} // namespace

bool EncodePNG(const DecodedImage& image, std::vector<std::uint8_t>& png)
{
    png.clear();
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != size_t{image.width} * image.height * 4)
        return false;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (writer == nullptr)
        return false;
    png_infop info = png_create_info_struct(writer);
    if (info == nullptr) {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    MemoryOutput output{&png};
    png_set_write_fn(writer, &output, WriteToMemory, FlushNothing);
    if (setjmp(png_jmpbuf(writer)) != 0) {
        png_destroy_write_struct(&writer, &info);
        png.clear();
        return false;
    }
    WritePicture(writer, info, image);
    png_destroy_write_struct(&writer, &info);
    return true;
}

} // namespace kestrel
