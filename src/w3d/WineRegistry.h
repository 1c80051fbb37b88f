#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// A string value from the text of a Wine registry file (a prefix's system.reg, whose keys are
/// relative to HKEY_LOCAL_MACHINE). Key paths and value names compare regardless of A-Z case, as
/// the registry does; nullopt when the key, the value or a string in it is missing.
std::optional<std::string> ReadWineRegistryString(std::string_view registryText, std::string_view keyPath,
                                                  std::string_view valueName);

/// Where a Windows path ("C:\Games\Generals\") of a Wine prefix lies on this system: through the
/// prefix's dosdevices links (drive_c for C: when there are none), every component found
/// regardless of case. The result ends with a separator. Nullopt for paths without a drive.
std::optional<std::string> MapWindowsPathIntoPrefix(const std::filesystem::path& prefix, std::string_view windowsPath);

/// The Wine prefixes to ask, in order: $WINEPREFIX, ~/.wine, then the Proton prefixes of the
/// Steam libraries (~/.steam/steam, ~/.local/share/Steam, the Flatpak Steam, and every library
/// listed in their libraryfolders.vdf). Only prefixes with a system.reg are returned.
std::vector<std::filesystem::path> FindWinePrefixes(const char* winePrefixVariable, const char* homeVariable);

} // namespace kestrel
