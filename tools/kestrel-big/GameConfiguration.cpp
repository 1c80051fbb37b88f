#include "GameConfiguration.h"

#include "ini/CIniBlock.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrel::cli {

std::filesystem::path ExecutableFolder()
{
#ifdef _WIN32
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return std::filesystem::path(path).parent_path();
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        return path.parent_path();
#endif
    return CurrentFolder();
}

std::optional<GameKind> GameNamed(const std::string& name)
{
    if (name == "generals")
        return GameKind::Generals;
    if (name == "zerohour")
        return GameKind::ZeroHour;
    if (name == "bfme")
        return GameKind::BFME;
    return std::nullopt;
}

bool FindGameConfiguration(ToolContext& context, const Arguments& args, IPrompt& prompt,
                           std::unique_ptr<CIniBlock>& tree, const CIniBlock*& gameBlock)
{
    gameBlock = nullptr;
    const auto gameName = args.Value("game");
    if (!gameName)
        return true;
    const auto game = GameNamed(*gameName);
    if (!game) {
        context.Report(*gameName, "unknown game (generals, zerohour or bfme)");
        return false;
    }
    const auto configArgument = args.Value("config");
    const std::filesystem::path path = configArgument
                                           ? context.Resolve(*configArgument)
                                           : FindConfigurationFile(ExecutableFolder(), InstalledDataFolder(ExecutableFolder()));
    tree = LoadConfigurationFile(path, &prompt);
    if (!tree) {
        context.Report(path.string(), "Failed to load kestrel.ini");
        return false;
    }
    gameBlock = FindGameBlock(*tree, *game);
    if (!gameBlock) {
        context.Report(path.string(), "Failed to interpret kestrel.ini");
        return false;
    }
    return true;
}

} // namespace kestrel::cli
