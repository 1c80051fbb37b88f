#include "archive/EntryGlob.h"

#include "base/AsciiCase.h"

#include <algorithm>
#include <array>

namespace kestrel {
namespace {

constexpr char Separator = '\\';

/// The form in which names and patterns are compared.
unsigned char Fold(char c)
{
    return static_cast<unsigned char>(c == '/' ? Separator : AsciiToLower(c));
}

} // namespace

EntryGlob::EntryGlob(std::string_view pattern, Start start) : m_pattern(pattern), m_start(start)
{
    // A trailing separator names the same folder as the pattern without it.
    while (!pattern.empty() && Fold(pattern.back()) == Separator)
        pattern.remove_suffix(1);
    for (size_t i = 0; i < pattern.size(); ++i) {
        Token token;
        if (pattern[i] == '*') {
            token.kind = Kind::AnyInPart;
            while (i + 1 < pattern.size() && pattern[i + 1] == '*') {
                token.kind = Kind::AnyAcrossParts;
                ++i;
            }
        } else if (pattern[i] == '?') {
            token.set.set();
            token.set.reset(static_cast<unsigned char>(Separator));
        } else if (pattern[i] == '[' && pattern.find(']', i + 2) != std::string_view::npos) {
            i = ParseSet(pattern, i);
            continue;
        } else {
            token.set.set(Fold(pattern[i]));
        }
        m_tokens.push_back(token);
    }
}

size_t EntryGlob::ParseSet(std::string_view pattern, size_t open)
{
    Token token;
    token.kind = Kind::Set;
    size_t i = open + 1;
    const bool negated = pattern[i] == '!' || pattern[i] == '^';
    if (negated)
        ++i;
    // A ']' right after the opening belongs to the set.
    for (bool first = true; i < pattern.size() && (first || pattern[i] != ']'); first = false) {
        const auto low = static_cast<unsigned char>(pattern[i]);
        auto high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = static_cast<unsigned char>(pattern[i + 2]);
            i += 2;
        }
        for (unsigned c = low; c <= high; ++c)
            token.set.set(Fold(static_cast<char>(c)));
        ++i;
    }
    if (i >= pattern.size()) {
        // No closing bracket after all (the one found was the first member): a plain '['.
        Token literal;
        literal.set.set(Fold('['));
        m_tokens.push_back(literal);
        return open;
    }
    if (negated)
        token.set.flip();
    token.set.reset(static_cast<unsigned char>(Separator));
    m_tokens.push_back(token);
    return i;
}

bool EntryGlob::Matches(std::string_view name) const
{
    // reached[j]: the tokens so far can match the first j characters of the name. Names are at
    // most a few hundred bytes, so the two rows live on the stack: the filter box runs this over
    // every entry of the table at each keystroke.
    constexpr size_t StackLength = 1024;
    const size_t length = name.size();
    std::array<char, StackLength> stackRows;
    std::vector<char> heapRows;
    char* rows = stackRows.data();
    if (2 * (length + 1) > StackLength) {
        heapRows.resize(2 * (length + 1));
        rows = heapRows.data();
    }
    char* reached = rows;
    char* next = rows + length + 1;
    std::fill(reached, reached + length + 1, 0);
    reached[0] = 1;
    if (m_start == Start::AnyFolderPart) {
        for (size_t j = 1; j < length; ++j)
            reached[j] = Fold(name[j - 1]) == Separator;
    }
    for (const Token& token : m_tokens) {
        next[0] = token.kind == Kind::AnyInPart || token.kind == Kind::AnyAcrossParts ? reached[0] : 0;
        char any = next[0];
        for (size_t j = 1; j <= length; ++j) {
            const unsigned char c = Fold(name[j - 1]);
            switch (token.kind) {
            case Kind::AnyInPart:
                next[j] = reached[j] || (next[j - 1] && c != Separator);
                break;
            case Kind::AnyAcrossParts:
                next[j] = reached[j] || next[j - 1];
                break;
            default:
                next[j] = reached[j - 1] && token.set.test(c);
                break;
            }
            any |= next[j];
        }
        // Most names fail on the pattern's first literal characters; the rest need not be tried.
        if (!any)
            return false;
        std::swap(reached, next);
    }
    if (reached[length])
        return true;
    // Or a leading folder part of the name matches.
    for (size_t j = 1; j < length; ++j) {
        if (reached[j] && Fold(name[j]) == Separator)
            return true;
    }
    return false;
}

EntryFilter::EntryFilter(const std::vector<std::string>& patterns) : m_used(patterns.size(), false)
{
    for (const auto& pattern : patterns)
        m_globs.emplace_back(pattern);
}

bool EntryFilter::Selects(std::string_view name)
{
    if (m_globs.empty())
        return true;
    bool selected = false;
    for (size_t i = 0; i < m_globs.size(); ++i) {
        if (m_globs[i].Matches(name)) {
            m_used[i] = true;
            selected = true;
        }
    }
    return selected;
}

std::vector<std::string> EntryFilter::UnusedPatterns() const
{
    std::vector<std::string> unused;
    for (size_t i = 0; i < m_globs.size(); ++i) {
        if (!m_used[i])
            unused.push_back(m_globs[i].Pattern());
    }
    return unused;
}

} // namespace kestrel
