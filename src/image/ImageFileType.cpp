#include "image/ImageFileType.h"

#include "base/AsciiCase.h"

#include <array>
#include <string>
#include <utility>

namespace kestrel {

std::optional<ImageFileType> ImageFileTypeFromName(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, ImageFileType>, 6> byExtension{{
        {".bmp", ImageFileType::BMP},
        {".tga", ImageFileType::TGA},
        {".dds", ImageFileType::DDS},
        {".jpg", ImageFileType::JPEG},
        {".jpeg", ImageFileType::JPEG},
        {".png", ImageFileType::PNG},
    }};
    const std::string lowered = AsciiLowered(name);
    for (const auto& [extension, type] : byExtension) {
        if (lowered.find(extension) != std::string::npos)
            return type;
    }
    return std::nullopt;
}

} // namespace kestrel
