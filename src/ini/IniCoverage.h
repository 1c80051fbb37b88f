#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CIniBlock;

/// What a parsed INI text holds that a game's structure description does or does not know, as
/// the structure menu finds descriptions: block by block, by name, from the top-level object
/// down. It tells whether the configuration describes real files completely.
class IniCoverage
{
public:
    enum class Kind { Block, Module, Key, Directive };

    struct Item
    {
        Kind kind = Kind::Block;
        /// The names from the top-level block down, joined by " > ", e.g.
        /// "Object > Body = ActiveBody > MaxHealth".
        std::string path;
        bool known = false;
        int count = 0;
    };

    /// `gameBlock` is the game's block of the configuration tree (or none: nothing is known).
    /// Blocks named in its "AnyKeys" take every key; first words in its "Directives" are
    /// directives, known by definition.
    explicit IniCoverage(const CIniBlock* gameBlock);

    /// Counts what the parsed text `root` holds. The contents of an unknown block are not looked
    /// at: its own line already says that the description ends there.
    void Add(const CIniBlock& root);

    /// Every block type, module class, key and directive found, ordered by path.
    std::vector<Item> Items() const;
    int UnknownCount() const;

    static std::string_view KindName(Kind kind);

private:
    struct Counted
    {
        Kind kind;
        bool known;
        int count;
    };

    void Count(Kind kind, const std::string& path, bool known);

    const CIniBlock* m_description = nullptr;
    const CIniBlock* m_anyKeys = nullptr;
    const CIniBlock* m_directives = nullptr;
    std::map<std::string, Counted, std::less<>> m_items;
};

} // namespace kestrel
