#include "w3d/W3DTextureExport.h"

#include "base/AtomicFile.h"
#include "image/ConvertToPNG.h"
#include "w3d/W3DTextureFinder.h"

namespace kestrel {
namespace {

/// "art\eu\Wall.tga" -> "Wall.png": the games' names use backslashes whatever the platform.
std::filesystem::path PngFileName(const std::string& name)
{
    const size_t slash = name.find_last_of("\\/");
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0)
        base.erase(dot);
    return base.empty() ? std::filesystem::path("texture.png") : std::filesystem::path(base + ".png");
}

bool Write(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    AtomicFileWriter writer(file);
    if (writer.Begin() && writer.Write(bytes.data(), bytes.size()) && writer.Commit())
        return true;
    error = writer.Error();
    return false;
}

} // namespace

std::vector<TextureExport> ExportTexturesAsPNG(W3DTextureFinder& finder, const std::vector<std::string>& names,
                                               const std::filesystem::path& folder)
{
    std::vector<TextureExport> results;
    for (const auto& name : names) {
        TextureExport result{name, {}, {}};
        const auto location = finder.LocateTexture(name);
        const auto bytes = finder.ReadBytes(location);
        const auto type = location.source == W3DTextureFinder::Location::Source::Disk
            ? ImageFileTypeFromPath(location.file.string())
            : std::optional(location.type);
        std::vector<std::uint8_t> png;
        if (!bytes || !type)
            result.error = "not found";
        else if (ConvertToPNG(*bytes, *type, png, result.error)) {
            const auto file = folder / PngFileName(name);
            if (Write(file, png, result.error))
                result.file = file;
        }
        results.push_back(std::move(result));
    }
    return results;
}

} // namespace kestrel
