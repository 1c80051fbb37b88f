#pragma once

#include "image/ImageFileType.h"
#include "w3d/IW3DTextureSource.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>

namespace kestrel {

class C3DWDevice;
class CBIGFile;

/// Finds the texture a model names the way the game would: first as a file below the game's
/// installation folder + "Art\Textures\", then as "art\textures\" + name in the open archive, the
/// game's texture archive and the base game's texture archive, in that order. Battle for
/// Middle-earth's compiled textures are looked for after "Art\Textures\" at each of those places,
/// in "Art\CompiledTextures\" + the name's first two letters (regardless of case on disk). Where
/// the named file is missing, the same name ending in "dds", "jpg" or "png" is tried. One finder
/// serves one model load; it borrows the device and the archives.
class W3DTextureFinder : public IW3DTextureSource
{
public:
    struct Location
    {
        enum class Source { NotFound, Disk, Archive };
        Source source = Source::NotFound;
        std::filesystem::path file;  ///< Disk: the file that was loaded
        size_t archive = 0;          ///< Archive: position in the archive list
        std::string entryName;       ///< Archive: the entry that was read
        ImageFileType type = ImageFileType::TGA;
    };

    /// `archives` may hold null or unopened archives (they hold no entries). `installFolder` is
    /// joined to "Art\Textures\" as it is (the games store it with a trailing backslash).
    W3DTextureFinder(C3DWDevice* device, std::array<CBIGFile*, 3> archives, std::string installFolder);

    /// The texture, or null when found nowhere (or, for an archive entry, when it does not decode:
    /// the first entry present ends the search).
    std::unique_ptr<C3DWTexture> LoadTexture(const std::string& name) override;

    /// Where LoadTexture would take `name` from, without a device: disk files count when they
    /// decode, archive entries when present.
    Location LocateTexture(const std::string& name);

    /// The bytes at a found location (a disk file or an archive entry), or nullopt.
    std::optional<std::vector<std::uint8_t>> ReadBytes(const Location& location);

private:
    using Attempt = std::function<bool(const Location&)>;
    /// Walks the search order and stops at the first candidate `tryDisk` accepts or the first
    /// archive entry present (after `useEntry`).
    Location Search(const std::string& name, const Attempt& tryDisk, const Attempt& useEntry);

    C3DWDevice* m_device;
    std::array<CBIGFile*, 3> m_archives;
    std::string m_installFolder;
};

} // namespace kestrel
