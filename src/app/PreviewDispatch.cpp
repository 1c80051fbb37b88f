#include "app/PreviewDispatch.h"

#include "base/AsciiCase.h"
#include "sound/WavDecoder.h"
#include "strings/StringLabelReference.h"

#include <array>
#include <string>

namespace kestrel {
namespace {

// Text that is not INI: shown without the structure menu.
constexpr std::array<const char*, 7> plainTextExtensions{{".txt", ".nvp", ".xml", ".xsd", ".xsx", ".lua", ".str"}};

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
    if (const auto imageType = ImageFileTypeFromEntryName(name))
        return {PreviewMode::Image, imageType};
    const std::string lowered = AsciiLowered(name);
    if (lowered.find(".w3d") != std::string::npos)
        return {PreviewMode::Model, std::nullopt};
    if (IsStringTableEntryName(name))
        return {PreviewMode::StringTable, std::nullopt};
    if (IsSoundEntryName(name))
        return {PreviewMode::Sound, std::nullopt};
    if (ContainsAny(lowered, plainTextExtensions))
        return {PreviewMode::PlainText, std::nullopt};
    if (lowered.find(".ini") != std::string::npos)
        return {PreviewMode::IniText, std::nullopt};
    return {};
}

} // namespace kestrel
