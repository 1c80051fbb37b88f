#include "app/PreviewDispatch.h"

#include "base/AsciiCase.h"

#include <array>
#include <string>

namespace kestrel {
namespace {

struct ImageExtension
{
    const char* extension;
    int fileType;
};

constexpr std::array<ImageExtension, 6> imageExtensions{{
    {".tga", 1}, {".bmp", 0}, {".dds", 2}, {".jpg", 3}, {".jpeg", 3}, {".png", 4},
}};

// Text that is not INI: shown without the structure menu.
constexpr std::array<const char*, 6> plainTextExtensions{{".txt", ".nvp", ".xml", ".xsd", ".xsx", ".lua"}};

bool ContainsAny(const std::string& name, const auto& needles)
{
    for (const char* needle : needles)
        if (name.find(needle) != std::string::npos)
            return true;
    return false;
}

} // namespace

PreviewChoice ClassifyEntryName(std::string_view name)
{
    const std::string lowered = AsciiLowered(name);
    for (const ImageExtension& image : imageExtensions)
        if (lowered.find(image.extension) != std::string::npos)
            return {PreviewMode::Image, image.fileType};
    if (lowered.find(".w3d") != std::string::npos)
        return {PreviewMode::Model, -1};
    if (ContainsAny(lowered, plainTextExtensions))
        return {PreviewMode::PlainText, -1};
    if (lowered.find(".ini") != std::string::npos)
        return {PreviewMode::IniText, -1};
    return {};
}

} // namespace kestrel
