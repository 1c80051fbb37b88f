#pragma once

#include "image/ImageFileType.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

/// Decodes `bytes` as `type` the way the preview does and encodes the picture as an 8-bit RGBA
/// PNG into `png`. False with `error` saying why (the bytes do not decode, the picture is empty,
/// the PNG could not be made).
bool ConvertToPNG(std::span<const std::uint8_t> bytes, ImageFileType type, std::vector<std::uint8_t>& png,
                  std::string& error);

} // namespace kestrel
