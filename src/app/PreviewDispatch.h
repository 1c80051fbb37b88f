#pragma once

#include <string_view>

namespace kestrel {

/// How the preview pane shows the selected entry. The numbers are the established mode codes.
enum class PreviewMode {
    RawText = 0,
    Image = 1,
    Model = 2,
    IniText = 3,
    PlainText = 4,
    Locked = 5,
};

/// What an entry's name asks for. Images and models fall back to raw text when they cannot be
/// drawn; `imageFileType` is the decoder's file type code (0 BMP, 1 TGA, 2 DDS, 3 JPEG, 4 PNG),
/// -1 for anything but an image.
struct PreviewChoice
{
    PreviewMode mode = PreviewMode::RawText;
    int imageFileType = -1;
};

/// Classifies by substrings of the lower-cased name, first match wins: an extension anywhere in
/// the name counts ("foo.tga.bak" is an image, "foo.inizh" INI text, "readme.ini.txt" plain text).
PreviewChoice ClassifyEntryName(std::string_view name);

} // namespace kestrel
