#include "image/ImageDecoders.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kestrel {
namespace {

// A decoded block: 16 pixels as little-endian 0xAARRGGBB values, row by row.
using Texels = std::array<std::uint32_t, 16>;

inline std::uint32_t LoadU16(const std::uint8_t* in)
{
    return std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8;
}

inline std::uint32_t LoadU32(const std::uint8_t* in)
{
    return LoadU16(in) | LoadU16(in + 2) << 16;
}

inline std::uint64_t LoadU48(const std::uint8_t* in)
{
    return std::uint64_t{LoadU32(in)} | std::uint64_t{LoadU16(in + 4)} << 32;
}

struct Rgb
{
    std::uint32_t blue;
    std::uint32_t green;
    std::uint32_t red;
};

// The low bits stay empty (31 becomes 248): textures have always been shown this way.
inline Rgb Expand565(std::uint32_t colour)
{
    return {(colour & 0x1F) * 8, ((colour >> 5) & 0x3F) * 4, (colour >> 11) * 8};
}

inline std::uint32_t Pack(std::uint32_t blue, std::uint32_t green, std::uint32_t red, std::uint32_t alpha)
{
    return blue | green << 8 | red << 16 | alpha << 24;
}

constexpr std::uint32_t ColourBits = 0x00FFFFFFu;

// `withTransparency` selects the DXT1 rule: c0 <= c1 switches to three colours and transparent black.
inline std::array<std::uint32_t, 4> ColourPalette(const std::uint8_t* block, bool withTransparency)
{
    const std::uint32_t c0 = LoadU16(block);
    const std::uint32_t c1 = LoadU16(block + 2);
    const Rgb p0 = Expand565(c0);
    const Rgb p1 = Expand565(c1);
    std::array<std::uint32_t, 4> palette{Pack(p0.blue, p0.green, p0.red, 255), Pack(p1.blue, p1.green, p1.red, 255),
                                         0, 0};
    if (!withTransparency || c0 > c1) {
        palette[2] = Pack((2 * p0.blue + p1.blue + 1) / 3, (2 * p0.green + p1.green + 1) / 3,
                          (2 * p0.red + p1.red + 1) / 3, 255);
        palette[3] = Pack((p0.blue + 2 * p1.blue + 1) / 3, (p0.green + 2 * p1.green + 1) / 3,
                          (p0.red + 2 * p1.red + 1) / 3, 255);
    } else {
        palette[2] = Pack((p0.blue + p1.blue) / 2, (p0.green + p1.green) / 2, (p0.red + p1.red) / 2, 255);
    }
    return palette;
}

inline void DecodeColours(const std::uint8_t* block, bool withTransparency, Texels& texels)
{
    const auto palette = ColourPalette(block, withTransparency);
    const std::uint32_t indices = LoadU32(block + 4);
    for (unsigned i = 0; i < 16; ++i)
        texels[i] = palette[(indices >> (2 * i)) & 3];
}

inline void DecodeDXT1Block(const std::uint8_t* block, Texels& texels)
{
    DecodeColours(block, true, texels);
}

inline void DecodeDXT3Block(const std::uint8_t* block, Texels& texels)
{
    DecodeColours(block + 8, false, texels);
    const std::uint64_t alphas = std::uint64_t{LoadU32(block)} | std::uint64_t{LoadU32(block + 4)} << 32;
    for (unsigned i = 0; i < 16; ++i) {
        const auto alpha = static_cast<std::uint32_t>((alphas >> (4 * i)) & 0xF) * 17;
        texels[i] = (texels[i] & ColourBits) | alpha << 24;
    }
}

inline std::array<std::uint32_t, 8> AlphaPalette(std::uint32_t a0, std::uint32_t a1)
{
    std::array<std::uint32_t, 8> palette{a0, a1, 0, 0, 0, 0, 0, 255};
    if (a0 > a1) {
        for (std::uint32_t k = 2; k < 8; ++k)
            palette[k] = ((8 - k) * a0 + (k - 1) * a1 + 3) / 7;
    } else {
        for (std::uint32_t k = 2; k < 6; ++k)
            palette[k] = ((6 - k) * a0 + (k - 1) * a1 + 2) / 5;
    }
    return palette;
}

inline void DecodeDXT5Block(const std::uint8_t* block, Texels& texels)
{
    DecodeColours(block + 8, false, texels);
    const auto palette = AlphaPalette(block[0], block[1]);
    const std::uint64_t indices = LoadU48(block + 2);
    for (unsigned i = 0; i < 16; ++i)
        texels[i] = (texels[i] & ColourBits) | palette[(indices >> (3 * i)) & 7] << 24;
}

// Writes the part of a decoded block that lies inside the image.
inline void StoreBlock(const Texels& texels, std::uint8_t* destination, std::uint32_t width, std::uint32_t height,
                       std::uint32_t left, std::uint32_t top)
{
    const std::uint32_t columns = std::min<std::uint32_t>(4, width - left);
    const std::uint32_t rows = std::min<std::uint32_t>(4, height - top);
    const size_t rowBytes = size_t{width} * 4;
    std::uint8_t* out = destination + top * rowBytes + size_t{left} * 4;
    for (std::uint32_t row = 0; row < rows; ++row, out += rowBytes)
        std::memcpy(out, texels.data() + row * 4, columns * 4);
}

template <size_t BlockBytes, typename DecodeBlock>
void DecodeBlocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                  std::uint8_t* destination, DecodeBlock decodeBlock)
{
    const std::uint64_t blocksAcross = (std::uint64_t{width} + 3) / 4;
    const std::uint64_t blocksDown = (std::uint64_t{height} + 3) / 4;
    const size_t blocksPresent = blocks.size() / BlockBytes;
    const std::uint8_t* block = blocks.data();
    std::uint64_t index = 0;
    Texels texels;
    for (std::uint64_t down = 0; down < blocksDown; ++down) {
        for (std::uint64_t across = 0; across < blocksAcross; ++across, ++index) {
            if (index < blocksPresent) {
                decodeBlock(block, texels);
                block += BlockBytes;
            } else {
                texels.fill(0);
            }
            StoreBlock(texels, destination, width, height, static_cast<std::uint32_t>(across * 4),
                       static_cast<std::uint32_t>(down * 4));
        }
    }
}

} // namespace

void DecodeDXT1Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination)
{
    DecodeBlocks<8>(width, height, blocks, destination, DecodeDXT1Block);
}

void DecodeDXT3Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination)
{
    DecodeBlocks<16>(width, height, blocks, destination, DecodeDXT3Block);
}

void DecodeDXT5Blocks(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> blocks,
                      std::uint8_t* destination)
{
    DecodeBlocks<16>(width, height, blocks, destination, DecodeDXT5Block);
}

} // namespace kestrel
