#pragma once

#include "ini/IniObjectCache.h"
#include "ini/StructureMenu.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

class CBIGFile;
class IniWorkspace;

/// The game's "ini.big" in its installation folder, the name matched regardless of case as
/// Windows would; none for an empty folder or when the file is not there.
std::optional<std::filesystem::path> FindGameIniArchive(std::string_view gameFolder);

/// An archive's INI entries as a source of object names, keyed by the archive's path.
class ArchiveIniSource : public IIniEntrySource
{
public:
    explicit ArchiveIniSource(CBIGFile& archive);

    std::string KeyPrefix() const override;
    int EntryCount() const override;
    const std::string& EntryName(int index) const override;
    std::optional<std::string> EntryText(int index) override;

private:
    CBIGFile& m_archive;
};

/// Object names for "Set Value": first from the open archive, then from the game's "ini.big"
/// (`gameIniArchive`, opened for each lookup and closed again) unless that is the open archive
/// itself. The archive, cache and game block must outlive the lookup.
ObjectNameLookup MakeObjectNameLookup(CBIGFile& openArchive, std::optional<std::filesystem::path> gameIniArchive,
                                      IniObjectCache& cache, const CIniBlock* gameBlock);

/// How entries of the game's "ini.big" are named in a workspace, so they never take the place of
/// a mod's entry of the same name.
inline constexpr std::string_view kGameIniEntryPrefix = "<ini.big>\\";

/// Adds the INI entries of the game's "ini.big" to `workspace` for their definitions only,
/// leaving out those the workspace already holds under the same name (A-Z case ignored): a mod's
/// file takes the place of the game's. False when the archive cannot be read.
bool AddGameIniDefinitions(IniWorkspace& workspace, const std::filesystem::path& gameIniArchive);

} // namespace kestrel
