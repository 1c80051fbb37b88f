#pragma once

#include "ini/StructureConfig.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// Answers "where is this game installed?" from the machine's own records: the registry on
/// Windows, Kestrel's settings and Wine prefixes elsewhere; tests give a fake.
class IInstallPathProvider
{
public:
    virtual ~IInstallPathProvider() = default;

    /// The game's "InstallPath" as stored (a folder, normally ending with a separator). Nullopt
    /// when the game's key is missing; an empty string when the key exists without the value.
    virtual std::optional<std::string> FindInstallPath(GameKind game) = 0;
};

/// The key under HKEY_LOCAL_MACHINE that holds the game's "InstallPath" value.
std::string_view InstallRegistryKey(GameKind game);

/// The key of the game in Kestrel's settings group "InstallPaths".
std::string_view InstallSettingsKey(GameKind game);

} // namespace kestrel
