#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace kestrel {

class CIniBlock;
class IPrompt;

/// The name of the configuration file that lies beside the executables.
inline constexpr std::string_view kConfigurationFileName = "kestrel.ini";

/// The data folder of an installation whose programs lie in `programFolder` (its share/kestrel).
/// It is found relative to the programs, so an installation moved or unpacked under another
/// root finds its files all the same.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& programFolder);

/// The configuration file the programs read: the one beside the program (a build folder, or a
/// copy the user keeps there), else the one in `dataFolder` (empty: none). When neither exists,
/// the path beside the program, so that a failure names where the file was looked for first.
std::filesystem::path FindConfigurationFile(const std::filesystem::path& programFolder,
                                            const std::filesystem::path& dataFolder);

/// The games a configuration tree has a block for; the values are the document's game kinds.
enum class GameKind { Generals = 0, ZeroHour = 1, BFME = 2 };

/// The block name of a game below "Games": "Generals", "ZeroHour" or "BFME".
std::string_view GameBlockName(GameKind game);

/// The blocks of a game's structure configuration that steer parsing. They point into the
/// configuration tree, which must outlive every block parsed with them; any of them may be absent.
///
/// The last two describe the game's dialect. Without them a text is read as Generals reads it:
/// only ";" starts a comment and every first word is a key, a module or a block.
struct StructureConfig
{
    const CIniBlock* forcedObjects = nullptr;
    const CIniBlock* forcedValues = nullptr;
    const CIniBlock* objectsWithLists = nullptr;
    const CIniBlock* stringAreas = nullptr;
    /// "LineComments": each key is a marker that starts a comment besides ";", such as "//".
    const CIniBlock* lineComments = nullptr;
    /// "Directives": each key is a first word that makes its line a one-line directive block
    /// (such as "#include"), which never opens a block and is never a value.
    const CIniBlock* directives = nullptr;

    /// Looks the blocks up among the game block's children by their exact names; without a game
    /// block all are absent.
    static StructureConfig FromGameBlock(const CIniBlock* gameBlock);
};

/// Parses the configuration file at `path` without any structure configuration into the
/// configuration tree; none when the file cannot be read or is empty. `prompt` receives the
/// failure messages of "Implements" lines.
std::unique_ptr<CIniBlock> LoadConfigurationFile(const std::filesystem::path& path, IPrompt* prompt);

/// "Games" → the game's block, or none.
const CIniBlock* FindGameBlock(const CIniBlock& tree, GameKind game);

/// The game block's structure description ("INIStructure"), or none.
const CIniBlock* FindStructureDescription(const CIniBlock* gameBlock);

/// "Lists" → `listName` in the game block, or none.
const CIniBlock* FindChoiceList(const CIniBlock* gameBlock, std::string_view listName);

} // namespace kestrel
