#include "ini/TextSearch.h"

#include "base/AsciiCase.h"

namespace kestrel {
namespace {

bool IsWordCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || c == '_'
        || byte >= 0xC0;
}

bool MatchesAt(std::string_view text, std::size_t at, const TextSearch& search)
{
    const std::string_view candidate = text.substr(at, search.what.size());
    if (search.matchCase ? candidate != search.what : !EqualsIgnoringAsciiCase(candidate, search.what))
        return false;
    if (!search.wholeWord)
        return true;
    const std::size_t end = at + search.what.size();
    return (at == 0 || !IsWordCharacter(text[at - 1])) && (end >= text.size() || !IsWordCharacter(text[end]));
}

} // namespace

std::optional<std::size_t> FindInText(std::string_view text, const TextSearch& search, std::size_t from)
{
    if (search.what.empty() || search.what.size() > text.size())
        return std::nullopt;
    for (std::size_t at = from; at + search.what.size() <= text.size(); ++at) {
        if (MatchesAt(text, at, search))
            return at;
    }
    return std::nullopt;
}

} // namespace kestrel
