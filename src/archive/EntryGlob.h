#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// A shell-style pattern over archive entry names. Letters A-Z match either case and '/' is read
/// as the archive's separator '\'. '*' matches within one name part, '**' across parts, '?' one
/// character other than '\', "[abc]", "[a-z]" and "[!a-z]" (or "[^a-z]") a character class.
/// A pattern also selects everything below a folder it matches, so "data\ini" and "data\*"
/// both select "data\ini\weapon.ini". There is no escape character: '\' separates; "[*]" and
/// "[?]" match the characters themselves.
class EntryGlob
{
public:
    enum class Start {
        WholeName,     ///< the pattern starts at the name's beginning
        AnyFolderPart, ///< or at any folder part: "*.ini" then finds "data\ini\weapon.ini"
    };

    explicit EntryGlob(std::string_view pattern, Start start = Start::WholeName);

    bool Matches(std::string_view name) const;
    const std::string& Pattern() const { return m_pattern; }

private:
    enum class Kind { Character, AnyInPart, AnyAcrossParts, Set };
    struct Token
    {
        Kind kind = Kind::Character;
        std::bitset<256> set; ///< the characters matched by Character, Set and '?'
    };

    size_t ParseSet(std::string_view pattern, size_t open);

    std::string m_pattern;
    std::vector<Token> m_tokens;
    Start m_start = Start::WholeName;
};

/// Any number of patterns; with none, every name is selected. Remembers which patterns selected
/// something, so commands can report the ones that matched nothing.
class EntryFilter
{
public:
    explicit EntryFilter(const std::vector<std::string>& patterns);

    bool Selects(std::string_view name);
    /// The patterns that have selected no name so far.
    std::vector<std::string> UnusedPatterns() const;

private:
    std::vector<EntryGlob> m_globs;
    std::vector<bool> m_used;
};

} // namespace kestrel
