#include "ini/StructureConfig.h"

#include "ini/CIniBlock.h"

namespace kestrel {

std::string_view GameBlockName(GameKind game)
{
    switch (game) {
    case GameKind::Generals:
        return "Generals";
    case GameKind::ZeroHour:
        return "ZeroHour";
    case GameKind::BFME:
        return "BFME";
    }
    return {};
}

StructureConfig StructureConfig::FromGameBlock(const CIniBlock* gameBlock)
{
    if (!gameBlock)
        return {};
    return StructureConfig{gameBlock->FindChild("ForcedObjects"),    gameBlock->FindChild("ForcedValues"),
                           gameBlock->FindChild("ObjectsWithLists"), gameBlock->FindChild("StringAreas"),
                           gameBlock->FindChild("LineComments"),     gameBlock->FindChild("Directives")};
}

std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder)
{
    return (programFolder / KESTREL_DATA_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path FindConfigurationFile(const std::filesystem::path& programFolder,
                                            const std::filesystem::path& dataFolder)
{
    const auto besideProgram = programFolder / kConfigurationFileName;
    std::error_code error;
    if (std::filesystem::exists(besideProgram, error) || dataFolder.empty())
        return besideProgram;
    const auto installed = dataFolder / kConfigurationFileName;
    return std::filesystem::exists(installed, error) ? installed : besideProgram;
}

std::unique_ptr<CIniBlock> LoadConfigurationFile(const std::filesystem::path& path, IPrompt* prompt)
{
    auto tree = std::make_unique<CIniBlock>(StructureConfig{}, prompt);
    if (!tree->LoadFile(path))
        return nullptr;
    return tree;
}

const CIniBlock* FindGameBlock(const CIniBlock& tree, GameKind game)
{
    const CIniBlock* games = tree.FindChild("Games");
    return games ? games->FindChild(GameBlockName(game)) : nullptr;
}

const CIniBlock* FindStructureDescription(const CIniBlock* gameBlock)
{
    return gameBlock ? gameBlock->FindChild("INIStructure") : nullptr;
}

const CIniBlock* FindChoiceList(const CIniBlock* gameBlock, std::string_view listName)
{
    const CIniBlock* lists = gameBlock ? gameBlock->FindChild("Lists") : nullptr;
    return lists ? lists->FindChild(listName) : nullptr;
}

} // namespace kestrel
