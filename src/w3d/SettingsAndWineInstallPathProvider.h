#pragma once

#include "w3d/IInstallPathProvider.h"

#include <filesystem>
#include <map>
#include <vector>

namespace kestrel {

/// Install paths on systems without a registry of their own: first the folder the user set in
/// Kestrel's settings (group "InstallPaths"; the caller reads them and passes them in, so this
/// library needs no settings framework), then the games' registry keys in the system.reg of each
/// Wine prefix, mapped to where the prefix keeps that drive.
class SettingsAndWineInstallPathProvider : public IInstallPathProvider
{
public:
    SettingsAndWineInstallPathProvider(std::map<GameKind, std::string> settingsValues,
                                       std::vector<std::filesystem::path> winePrefixes);

    std::optional<std::string> FindInstallPath(GameKind game) override;

private:
    std::optional<std::string> FindInPrefix(size_t prefix, std::string_view key);

    std::map<GameKind, std::string> m_settingsValues;
    std::vector<std::filesystem::path> m_prefixes;
    std::map<size_t, std::string> m_registryTexts; // read once per prefix
};

/// The provider of this platform: the registry on Windows; elsewhere the settings values, then
/// the Wine prefixes found from the environment.
std::unique_ptr<IInstallPathProvider> CreatePlatformInstallPathProvider(std::map<GameKind, std::string> settingsValues);

} // namespace kestrel
