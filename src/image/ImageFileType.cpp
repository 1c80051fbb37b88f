#include "image/ImageFileType.h"

#include "base/AsciiCase.h"

#include <array>
#include <span>
#include <string>
#include <utility>

namespace kestrel {
namespace {

using ExtensionRule = std::pair<std::string_view, ImageFileType>;

constexpr std::array<ExtensionRule, 6> EntryNameOrder{{
    {".tga", ImageFileType::TGA},
    {".bmp", ImageFileType::BMP},
    {".dds", ImageFileType::DDS},
    {".jpg", ImageFileType::JPEG},
    {".jpeg", ImageFileType::JPEG},
    {".png", ImageFileType::PNG},
}};

constexpr std::array<ExtensionRule, 6> PathOrder{{
    {".bmp", ImageFileType::BMP},
    {".tga", ImageFileType::TGA},
    {".dds", ImageFileType::DDS},
    {".jpg", ImageFileType::JPEG},
    {".jpeg", ImageFileType::JPEG},
    {".png", ImageFileType::PNG},
}};

std::optional<ImageFileType> FirstFound(std::string_view name, std::span<const ExtensionRule> order)
{
    const std::string lowered = AsciiLowered(name);
    for (const auto& [extension, type] : order) {
        if (lowered.find(extension) != std::string::npos)
            return type;
    }
    return std::nullopt;
}

} // namespace

std::optional<ImageFileType> ImageFileTypeFromEntryName(std::string_view name)
{
    return FirstFound(name, EntryNameOrder);
}

std::optional<ImageFileType> ImageFileTypeFromPath(std::string_view path)
{
    return FirstFound(path, PathOrder);
}

} // namespace kestrel
