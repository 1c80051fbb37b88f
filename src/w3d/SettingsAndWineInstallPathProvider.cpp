#include "w3d/SettingsAndWineInstallPathProvider.h"

#include "base/File.h"
#include "w3d/RegistryInstallPathProvider.h"
#include "w3d/WineRegistry.h"

#include <cstdlib>

namespace kestrel {

std::string_view InstallRegistryKey(GameKind game)
{
    switch (game) {
    case GameKind::Generals: return "SOFTWARE\\Electronic Arts\\EA Games\\Generals";
    case GameKind::ZeroHour: return "SOFTWARE\\Electronic Arts\\EA Games\\Command and Conquer Generals Zero Hour";
    case GameKind::BFME: return "SOFTWARE\\Electronic Arts\\EA Games\\The Battle for Middle-earth";
    }
    return {};
}

std::string_view InstallSettingsKey(GameKind game)
{
    switch (game) {
    case GameKind::Generals: return "Generals";
    case GameKind::ZeroHour: return "ZeroHour";
    case GameKind::BFME: return "BFME";
    }
    return {};
}

SettingsAndWineInstallPathProvider::SettingsAndWineInstallPathProvider(std::map<GameKind, std::string> settingsValues,
                                                                       std::vector<std::filesystem::path> winePrefixes)
    : m_settingsValues(std::move(settingsValues)), m_prefixes(std::move(winePrefixes))
{
}

std::optional<std::string> SettingsAndWineInstallPathProvider::FindInstallPath(GameKind game)
{
    const auto setting = m_settingsValues.find(game);
    if (setting != m_settingsValues.end() && !setting->second.empty()) {
        // The folder is joined to file names without a separator, so make sure it ends with one.
        std::string folder = setting->second;
        if (folder.back() != '/' && folder.back() != '\\')
            folder.push_back('/');
        return folder;
    }
    const std::string_view key = InstallRegistryKey(game);
    // 32-bit installers in a 64-bit prefix write below Wow6432Node.
    const std::string redirected = "SOFTWARE\\Wow6432Node" + std::string(key.substr(key.find('\\')));
    for (size_t prefix = 0; prefix < m_prefixes.size(); ++prefix) {
        for (const std::string_view candidate : {key, std::string_view(redirected)}) {
            if (auto path = FindInPrefix(prefix, candidate))
                return path;
        }
    }
    return std::nullopt;
}

std::optional<std::string> SettingsAndWineInstallPathProvider::FindInPrefix(size_t prefix, std::string_view key)
{
    auto text = m_registryTexts.find(prefix);
    if (text == m_registryTexts.end()) {
        std::string bytes;
        ReadWholeFile(m_prefixes[prefix] / "system.reg", bytes);
        text = m_registryTexts.emplace(prefix, std::move(bytes)).first;
    }
    const auto windowsPath = ReadWineRegistryString(text->second, key, "InstallPath");
    return windowsPath ? MapWindowsPathIntoPrefix(m_prefixes[prefix], *windowsPath) : std::nullopt;
}

std::unique_ptr<IInstallPathProvider> CreatePlatformInstallPathProvider(std::map<GameKind, std::string> settingsValues)
{
#ifdef _WIN32
    (void)settingsValues;
    return std::make_unique<RegistryInstallPathProvider>();
#else
    return std::make_unique<SettingsAndWineInstallPathProvider>(
        std::move(settingsValues), FindWinePrefixes(std::getenv("WINEPREFIX"), std::getenv("HOME")));
#endif
}

} // namespace kestrel
