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

// Both rules lower A-Z and search the whole name, not only its end, so "a.tga.bak" is a TGA; the
// first extension found decides. They differ only for names holding two extensions, and each is
// kept because existing archives and texture folders were made to match it.

/// The type an archive entry's name asks for, as the preview pane and `kestrel-big` decide it:
/// ".tga", ".bmp", ".dds", ".jpg", ".jpeg", ".png" in that order ("a.bmp.tga" is a TGA).
std::optional<ImageFileType> ImageFileTypeFromEntryName(std::string_view name);

/// The type a file loaded by path asks for: ".bmp" is looked for before ".tga", the rest as for
/// entries ("a.tga.bmp" and "a.bmp.tga" are both BMPs).
std::optional<ImageFileType> ImageFileTypeFromPath(std::string_view path);

} // namespace kestrel
