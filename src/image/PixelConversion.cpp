#include "image/PixelConversion.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrel {
namespace {

struct Colour
{
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t alpha;
};

// Rows are converted through a small block of neutral colours, so every input layout meets every
// output layout without a function per pair.
constexpr int ChunkPixels = 64;
using ColourChunk = std::array<Colour, ChunkPixels>;

// A zero field stays black, any other lands at the top of its 8-bit range.
std::uint8_t ExpandField(unsigned field, unsigned shift, unsigned fill)
{
    return static_cast<std::uint8_t>(field == 0 ? 0 : (field << shift) | fill);
}

void ReadColours(const std::uint8_t* in, int count, TextureFormat format, Colour* out)
{
    for (int i = 0; i < count; ++i) {
        Colour& c = out[i];
        switch (format) {
        case TextureFormat::R5G6B5: {
            const unsigned value = in[0] | (unsigned{in[1]} << 8);
            c = {ExpandField(value & 0x1F, 3, 7), ExpandField((value >> 5) & 0x3F, 2, 3),
                 ExpandField(value >> 11, 3, 7), 255};
            in += 2;
            break;
        }
        case TextureFormat::B8G8R8: c = {in[0], in[1], in[2], 255}; in += 3; break;
        case TextureFormat::R8G8B8: c = {in[2], in[1], in[0], 255}; in += 3; break;
        case TextureFormat::B8G8R8A8: c = {in[0], in[1], in[2], in[3]}; in += 4; break;
        case TextureFormat::R8G8B8A8: c = {in[2], in[1], in[0], in[3]}; in += 4; break;
        }
    }
}

void StoreU16(std::uint8_t* out, unsigned value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

unsigned TopBits(std::uint8_t channel, unsigned bits)
{
    return unsigned{channel} >> (8 - bits);
}

void WriteColours(const Colour* in, int count, PixelConversion conversion, std::uint8_t* out)
{
    for (int i = 0; i < count; ++i) {
        const Colour& c = in[i];
        switch (conversion) {
        case PixelConversion::ToR5G6B5:
            StoreU16(out, TopBits(c.red, 5) << 11 | TopBits(c.green, 6) << 5 | TopBits(c.blue, 5));
            out += 2;
            break;
        case PixelConversion::ToR5G5B5A1:
            StoreU16(out, TopBits(c.red, 5) << 11 | TopBits(c.green, 5) << 6 | TopBits(c.blue, 5) << 1 |
                              (c.alpha != 0 ? 1u : 0u));
            out += 2;
            break;
        case PixelConversion::ToB8G8R8: *out++ = c.blue; *out++ = c.green; *out++ = c.red; break;
        case PixelConversion::ToR8G8B8: *out++ = c.red; *out++ = c.green; *out++ = c.blue; break;
        case PixelConversion::ToB8G8R8A8:
            *out++ = c.blue; *out++ = c.green; *out++ = c.red; *out++ = c.alpha;
            break;
        case PixelConversion::ToR8G8B8A8:
            *out++ = c.red; *out++ = c.green; *out++ = c.blue; *out++ = c.alpha;
            break;
        }
    }
}

void ConvertRow(const std::uint8_t* in, std::uint8_t* out, int width, TextureFormat format,
                PixelConversion conversion)
{
    const int inBytes = BytesPerPixel(format);
    const int outBytes = BytesPerPixel(conversion);
    ColourChunk chunk;
    for (int done = 0; done < width; done += ChunkPixels) {
        const int count = std::min(ChunkPixels, width - done);
        ReadColours(in + done * inBytes, count, format, chunk.data());
        WriteColours(chunk.data(), count, conversion, out + done * outBytes);
    }
}

} // namespace

int BytesPerPixel(PixelConversion conversion)
{
    switch (conversion) {
    case PixelConversion::ToR5G6B5:
    case PixelConversion::ToR5G5B5A1: return 2;
    case PixelConversion::ToB8G8R8:
    case PixelConversion::ToR8G8B8: return 3;
    case PixelConversion::ToB8G8R8A8:
    case PixelConversion::ToR8G8B8A8: return 4;
    }
    return 0;
}

void ConvertPixels(const void* source, void* destination, int width, int height, int sourcePitch,
                   int destinationPitch, TextureFormat sourceFormat, PixelConversion conversion)
{
    ConvertPixels3D(source, destination, width, height, 1, sourcePitch, 0, destinationPitch, 0, sourceFormat,
                    conversion);
}

void ConvertPixels3D(const void* source, void* destination, int width, int height, int depth, int sourcePitch,
                     int sourceSlicePitch, int destinationPitch, int destinationSlicePitch,
                     TextureFormat sourceFormat, PixelConversion conversion)
{
    if (source == nullptr || destination == nullptr || BytesPerPixel(sourceFormat) == 0 ||
        BytesPerPixel(conversion) == 0)
        return;
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(destination);
    for (std::ptrdiff_t z = 0; z < depth; ++z) {
        for (std::ptrdiff_t y = 0; y < height; ++y) {
            ConvertRow(in + z * sourceSlicePitch + y * sourcePitch, out + z * destinationSlicePitch + y * destinationPitch,
                       width, sourceFormat, conversion);
        }
    }
}

} // namespace kestrel
