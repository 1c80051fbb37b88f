#include "image/ImageDecoders.h"

#include "image/DecoderSupport.h"

#include <csetjmp>
#include <cstring>

#include <png.h>

namespace kestrel {
using namespace image_detail;

namespace {

constexpr size_t SignatureBytesChecked = 7;

struct MemoryInput
{
    std::span<const std::uint8_t> data;
    size_t position = 0;
    bool ranOut = false;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count)
{
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (count > input->data.size() - input->position) {
        input->ranOut = true;
        png_error(png, "PNG data ends early");
    }
    std::memcpy(out, input->data.data() + input->position, count);
    input->position += count;
}

// libpng's default handlers print; Kestrel's decoders stay silent and simply fail.
[[noreturn]] void JumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Every local here is trivially destructible: a library error leaves this frame by longjmp.
bool ReadPicture(png_structp png, png_infop info, DecodedImage& image)
{
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > MaxDecodedImageSide || height > MaxDecodedImageSide)
        return false;
    // The library's own transformations bring every colour type and depth to 8-bit BGRA.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4 || !AllocatePixels(image, width, height))
        return false;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, image.pixels.data() + size_t{y} * width * 4, nullptr);
    }
    // Chunks behind the pixels cannot change the picture, so they are not read.
    return true;
}

} // namespace

bool DecodePNG(std::span<const std::uint8_t> data, DecodedImage& image)
{
    image = DecodedImage{};
    if (data.size() < SignatureBytesChecked || png_sig_cmp(data.data(), 0, SignatureBytesChecked) != 0)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    MemoryInput input{data, SignatureBytesChecked, false};
    png_set_read_fn(png, &input, ReadFromMemory);
    png_set_sig_bytes(png, SignatureBytesChecked);
    if (setjmp(png_jmpbuf(png)) != 0) {
        // Pixel data that ends early keeps the rows it reached; any other error fails.
        const bool keepPartial = input.ranOut && !image.pixels.empty();
        png_destroy_read_struct(&png, &info, nullptr);
        return keepPartial || Fail(image);
    }
    const bool decoded = ReadPicture(png, info, image);
    png_destroy_read_struct(&png, &info, nullptr);
    return decoded || Fail(image);
}

} // namespace kestrel
