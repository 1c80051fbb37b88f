#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kestrel {

class CIniBlock;

/// A named top-level block of an INI text: "Object AmericaTankCrusader", "Weapon CrusaderGun".
struct IniDefinition
{
    /// The block type; reskins and child objects count as the Object they define.
    std::string type;
    std::string name;
    /// 0-based line of the header.
    std::int32_t line = 0;
};

/// The named blocks that a set of INI entries defines, entry by entry, so that references
/// (Folder::Type in the structure description) can be resolved and definitions found. Entries are
/// replaced whole when their text changes. Lookups cache per folder and type and are not safe to
/// run from two threads at once.
class IniDefinitions
{
public:
    struct Location
    {
        const std::string* entry;
        std::int32_t line;
    };

    /// Replaces what `entry` defines by the named top-level blocks of the parsed text `root`.
    void SetEntry(const std::string& entry, const CIniBlock& root);
    void RemoveEntry(const std::string& entry);

    /// True when an entry whose name contains `folder` defines a block of `type` at all (both
    /// A-Z case-insensitive): without that the set knows nothing about such names.
    bool Knows(std::string_view folder, std::string_view type) const;
    /// True when such an entry defines a block of `type` named `name` (A-Z case-insensitive, as
    /// the games look names up).
    bool Defines(std::string_view folder, std::string_view type, std::string_view name) const;
    /// The names of those blocks, each once, in entry-name order.
    const std::vector<std::string>& Names(std::string_view folder, std::string_view type) const;
    /// Every block of any type named `name` (exact bytes), entries in name order.
    std::vector<Location> Find(std::string_view name) const;

    const std::map<std::string, std::vector<IniDefinition>>& Entries() const { return m_entries; }

    /// The type a header word defines, after folding aliases ("ObjectReskin" defines an Object).
    static std::string_view DefinedType(std::string_view headerWord);

private:
    struct NameSet
    {
        std::unordered_set<std::string> lowered;
        std::vector<std::string> names;
    };
    const NameSet& NamesOf(std::string_view folder, std::string_view type) const;

    std::map<std::string, std::vector<IniDefinition>> m_entries;
    mutable std::unordered_map<std::string, std::unique_ptr<NameSet>> m_cache;
};

/// The named top-level blocks of a parsed text, in text order. Blocks inside a stray "End" count
/// as top-level: the game sees them there.
std::vector<IniDefinition> DefinitionsOf(const CIniBlock& root);

} // namespace kestrel
