#pragma once

#include <cstdint>
#include <vector>

namespace kestrel::demo {

/// A `size` x `size` 32-bit uncompressed TGA, top row first: a checkerboard with a round badge.
std::vector<std::uint8_t> CheckerTga(int size);
/// A `size` x `size` DDS with DXT1 blocks (size a multiple of 4): a hue sweep darkening downwards.
std::vector<std::uint8_t> RainbowDxt1(int size);

} // namespace kestrel::demo
