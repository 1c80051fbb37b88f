#pragma once

#include "image/DecodedImage.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel::test {

using Bytes8 = std::vector<std::uint8_t>;

/// Little-endian appenders for building image files byte by byte.
void PutU16(Bytes8& out, std::uint32_t value);
void PutU32(Bytes8& out, std::uint32_t value);
void PutText(Bytes8& out, std::string_view text);
void Append(Bytes8& out, const Bytes8& bytes);

/// Pixel (x, y) of a decoded image as 0xAARRGGBB.
std::uint32_t PixelAt(const DecodedImage& image, std::uint32_t x, std::uint32_t y);
/// All pixels, top row first, as 0xAARRGGBB.
std::vector<std::uint32_t> PixelValues(const DecodedImage& image);

/// A TGA header for a true-colour picture (type 2 or 10) with an optional image ID.
Bytes8 TgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t type,
                 std::uint8_t descriptor, std::uint8_t idLength = 0);
/// A BMP file and info header (40 bytes) followed by nothing.
Bytes8 BmpHeader(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel, std::uint32_t compression = 0);
/// The 128-byte DDS header; `fourCC` empty means an uncompressed pixel format.
Bytes8 DdsHeader(std::uint32_t width, std::uint32_t height, std::uint32_t flags, std::uint32_t pitchOrLinearSize,
                 std::string_view fourCC, std::uint32_t rgbBitCount = 0);

/// A picture for libpng's encoder: any colour type (PNG_COLOR_TYPE_*), depth and interlacing.
struct PngPicture
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 2; // RGB
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Bytes8> rows; // packed as the PNG stores them
    std::vector<std::array<std::uint8_t, 3>> palette; // red, green, blue
    Bytes8 paletteAlpha; // tRNS of a palette picture
};

PngPicture Picture(std::uint32_t width, std::uint32_t height, int colourType, int bitDepth, std::vector<Bytes8> rows);
/// Encodes with libpng itself, independently of Kestrel's EncodePNG.
Bytes8 EncodePngWithLibpng(const PngPicture& picture);

/// Encodes interleaved 8-bit samples (`components` per pixel, in `space`: JCS_RGB, JCS_GRAYSCALE,
/// JCS_CMYK ...) with libjpeg's default settings at the given quality.
Bytes8 EncodeJpeg(std::uint32_t width, std::uint32_t height, int space, int components, const Bytes8& samples,
                  int quality = 95, bool progressive = false);

} // namespace kestrel::test
