#include "samples/ImageFileWriters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

#include <utility>

namespace kestrel::samples {

Bytes8 TgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t type,
                 std::uint8_t descriptor, std::uint8_t idLength)
{
    Bytes8 out(size_t{18} + idLength, '#');
    std::fill(out.begin(), out.begin() + 18, std::uint8_t{0});
    out[0] = idLength;
    out[2] = type;
    Put(out, 12, LE16(width));
    Put(out, 14, LE16(height));
    out[16] = depth;
    out[17] = descriptor;
    return out;
}

Bytes8 TgaFile(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t descriptor,
               const Bytes8& pixels)
{
    return Cat({TgaHeader(width, height, depth, 2, descriptor), pixels});
}

Bytes8 TinyTga(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return TgaFile(1, 1, 32, 0x28, {blue, green, red, 255});
}

Bytes8 TinyDxt1Dds(std::uint16_t colour)
{
    return Cat({DdsHeader(4, 4, 0x1007, 8, "DXT1"), ByteWriter().U16(colour).U16(0).U32(0)});
}

Bytes8 BmpHeader(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel, std::uint32_t compression)
{
    Bytes8 out(54, 0);
    Put(out, 0, Bytes("BM"));
    Put(out, 14, LE(40));
    Put(out, 18, LE(static_cast<std::uint32_t>(width)));
    Put(out, 22, LE(static_cast<std::uint32_t>(height)));
    Put(out, 26, LE16(1));
    Put(out, 28, LE16(bitsPerPixel));
    Put(out, 30, LE(compression));
    return out;
}

Bytes8 DdsHeader(std::uint32_t width, std::uint32_t height, std::uint32_t flags, std::uint32_t pitchOrLinearSize,
                 std::string_view fourCC, std::uint32_t rgbBitCount)
{
    Bytes8 out(128, 0);
    Put(out, 0, Bytes("DDS "));
    Put(out, 4, LE(124));
    Put(out, 8, LE(flags));
    Put(out, 12, LE(height));
    Put(out, 16, LE(width));
    Put(out, 20, LE(pitchOrLinearSize));
    Put(out, 76, LE(32)); // pixel format size
    Put(out, 80, LE(fourCC.empty() ? 0x40 : 0x4));
    Put(out, 84, Bytes(fourCC));
    Put(out, 88, LE(rgbBitCount));
    return out;
}

PngPicture Picture(std::uint32_t width, std::uint32_t height, int colourType, int bitDepth, std::vector<Bytes8> rows)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.rows = std::move(rows);
    return picture;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t count)
{
    auto* out = static_cast<Bytes8*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

// The pictures are always valid; a complaint means the caller asked for a wrong one.
[[noreturn]] void AbortOnPngError(png_structp, png_const_charp message)
{
    std::fprintf(stderr, "libpng refused a sample picture: %s\n", message);
    std::abort();
}

} // namespace

Bytes8 EncodePngWithLibpng(const PngPicture& picture)
{
    Bytes8 out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, AbortOnPngError, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const auto& [red, green, blue] : picture.palette)
        palette.push_back({red, green, blue});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (const auto& row : picture.rows)
            png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes8 EncodeJpeg(std::uint32_t width, std::uint32_t height, int space, int components, const Bytes8& samples,
                  int quality, bool progressive)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = static_cast<J_COLOR_SPACE>(space);
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        auto row = const_cast<JSAMPROW>(samples.data() + size_t{info.next_scanline} * width * size_t(components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes8 out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace kestrel::samples
