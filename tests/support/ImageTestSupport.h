#pragma once

#include "image/DecodedImage.h"
#include "samples/ImageFileWriters.h"

#include <cstdint>
#include <vector>

namespace kestrel::test {

/// Pixel (x, y) of a decoded image as 0xAARRGGBB.
std::uint32_t PixelAt(const DecodedImage& image, std::uint32_t x, std::uint32_t y);
/// All pixels, top row first, as 0xAARRGGBB.
std::vector<std::uint32_t> PixelValues(const DecodedImage& image);

} // namespace kestrel::test
