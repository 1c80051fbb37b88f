#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel {

class W3DTextureFinder;

/// What became of one texture a model names.
struct TextureExport
{
    std::string name;
    std::filesystem::path file; ///< the PNG written; empty when none was
    std::string error;          ///< why none was written
};

/// Writes every texture of `names` that `finder` finds into `folder` as a PNG named after the
/// texture (its folders dropped, its extension ".png"), each file whole or not at all. Textures
/// found nowhere, that do not decode or that cannot be written are reported with their reason.
std::vector<TextureExport> ExportTexturesAsPNG(W3DTextureFinder& finder, const std::vector<std::string>& names,
                                               const std::filesystem::path& folder);

} // namespace kestrel
