#pragma once

#include <cstdint>
#include <vector>

namespace kestrel {

/// The one in-memory image every decoder produces: width x height pixels of 4 bytes, rows packed
/// top row first, bytes blue, green, red, alpha (a little-endian 0xAARRGGBB). After a failed decode
/// all three members are empty.
struct DecodedImage
{
    std::vector<std::uint8_t> pixels;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

/// Decoders refuse images wider or taller than this instead of allocating for them.
constexpr std::uint32_t MaxDecodedImageSide = 16384;

} // namespace kestrel
