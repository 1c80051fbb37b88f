#pragma once

#include "w3d/IInstallPathProvider.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// Which game an archive belongs to and which of the game's texture archives to open with it.
struct GameTextureArchivePlan
{
    GameKind game = GameKind::Generals;
    /// The installation folder whose texture archive is opened; empty when none is.
    std::string installFolder;
    /// The game's own texture archive ("Textures.big", or "TexturesZH.big" for Zero Hour).
    std::optional<std::filesystem::path> gameArchive;
    /// For Zero Hour: the Generals archive "textures.big" beneath it.
    std::optional<std::filesystem::path> baseArchive;
};

/// Decides the game of an archive: a BIG4 archive is Battle for Middle-earth; a BIGF archive is
/// Generals, or Zero Hour when it lies in Zero Hour's installation folder itself. With the
/// Textures option off no texture archive is planned. Archive paths are resolved regardless of
/// case on file systems that tell case apart.
GameTextureArchivePlan PlanGameTextureArchives(int archiveFormat, std::string_view archiveFolder,
                                               bool texturesEnabled, IInstallPathProvider& provider);

/// True when two folder paths name the same folder regardless of A-Z case, separator kind and a
/// trailing separator.
bool SameFolderIgnoringCase(std::string_view a, std::string_view b);

} // namespace kestrel
