#pragma once

#include "image/ImageFileType.h"

#include <optional>
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
    StringTable = 6,
    Sound = 7,
};

/// What an entry's name asks for. Images and models fall back to raw text when they cannot be
/// drawn; `imageFileType` is set for images only.
struct PreviewChoice
{
    PreviewMode mode = PreviewMode::RawText;
    std::optional<ImageFileType> imageFileType;
};

/// Classifies by substrings of the lower-cased name, first match wins, images (by the image
/// library's entry-name rule) before models before text: an extension anywhere in the name counts ("foo.tga.bak" is an image, "foo.inizh" INI text, "readme.ini.txt" plain text). CSF string tables get the table preview; their text form (".str") is plain text. Sounds (".wav", ".mp3") get the player.
PreviewChoice ClassifyEntryName(std::string_view name);

} // namespace kestrel
