#pragma once

// Image files (TGA, BMP, DDS headers by hand; PNG and JPEG through libpng and libjpeg themselves)
// for the demo archive, the fuzz seeds, the benchmarks and the decoder tests. None of it goes
// through Kestrel's own decoders or encoder, so a test that decodes these files compares Kestrel
// against a second opinion rather than against itself.

#include "samples/ByteWriter.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel::samples {

/// A TGA header for a true-colour picture (type 2 or 10) with an optional image ID.
Bytes8 TgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t type,
                 std::uint8_t descriptor, std::uint8_t idLength = 0);
/// A whole uncompressed true-colour TGA: header and `pixels` as stored (blue, green, red[, alpha]).
Bytes8 TgaFile(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t descriptor,
               const Bytes8& pixels);
/// A 1 x 1 32-bit TGA of one opaque pixel.
Bytes8 TinyTga(std::uint8_t blue, std::uint8_t green, std::uint8_t red);
/// A 4 x 4 DXT1 DDS whose every pixel has the 5-6-5 colour `colour` (0xF800 is red).
Bytes8 TinyDxt1Dds(std::uint16_t colour);
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

} // namespace kestrel::samples
