#pragma once

#include "ini/IniProblem.h"

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kestrel {

class CIniBlock;
class IniDefinitions;

/// Finds the mistakes of parsed INI texts against a game's structure description and choice
/// lists: block types, module classes and keys the description does not know, list values that
/// are not in their list, references to names defined nowhere, module tags used twice in one
/// object, blocks without "End" and "End" lines without a block. Safe to share between threads
/// once built.
class IniChecker
{
public:
    /// `gameBlock` (may be none) provides "INIStructure", "Lists", "AnyKeys" and "Directives";
    /// without a structure description only the shape of the text is checked.
    explicit IniChecker(const CIniBlock* gameBlock);

    /// The problems of one parsed entry, in line order. References are looked up in
    /// `definitions` (none: not checked); a Folder::Type that names nothing the definitions
    /// know is not checked either, since nothing could resolve it.
    std::vector<IniProblem> CheckEntry(const std::string& entry, const CIniBlock& root,
                                       const IniDefinitions* definitions) const;

private:
    friend class EntryCheck;

    bool ListHolds(const std::string& list, std::string_view entry) const;
    bool HasList(const std::string& list) const;

    const CIniBlock* m_description = nullptr;
    const CIniBlock* m_anyKeys = nullptr;
    const CIniBlock* m_directives = nullptr;
    /// Choice lists by name, their entries lower-cased: the games compare list names without case.
    std::unordered_map<std::string, std::unordered_set<std::string>> m_lists;
};

/// Blocks of one type and name defined twice among `entries` (names as in `definitions`): the
/// game keeps the one it loads later, so the problem stands at that one and names the other.
std::vector<IniProblem> FindDuplicateDefinitions(const IniDefinitions& definitions,
                                                 std::span<const std::string> entries);

/// Whether the game loads entry `a` before entry `b`: by name, A-Z case ignored, the files of a
/// folder before those of its subfolders.
bool LoadsBefore(std::string_view a, std::string_view b);

} // namespace kestrel
