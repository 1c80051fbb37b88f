#pragma once

#include <optional>
#include <string_view>

namespace kestrel {

/// The number that selects a decoder.
enum class ImageFileType : int
{
    BMP = 0,
    TGA = 1,
    DDS = 2,
    JPEG = 3,
    PNG = 4,
};

/// The type a file name asks for: the name, with A-Z lowered, is searched anywhere (not only at
/// its end) for ".bmp", ".tga", ".dds", ".jpg", ".jpeg", ".png" in that order, and the first found
/// decides, so "a.tga.bak" is a TGA. None of them: nullopt.
std::optional<ImageFileType> ImageFileTypeFromName(std::string_view name);

} // namespace kestrel
