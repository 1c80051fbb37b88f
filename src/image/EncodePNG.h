#pragma once

#include "image/DecodedImage.h"

#include <cstdint>
#include <vector>

namespace kestrel {

/// Encodes `image` as an 8-bit RGBA PNG (alpha kept as decoded) into `png`. False, with `png`
/// empty, for an empty image or any library failure.
bool EncodePNG(const DecodedImage& image, std::vector<std::uint8_t>& png);

} // namespace kestrel
