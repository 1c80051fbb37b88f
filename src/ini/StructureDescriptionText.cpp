#include "ini/StructureDescriptionText.h"

#include "base/AsciiCase.h"
#include "ini/IniScan.h"

namespace kestrel {
namespace {

constexpr std::string_view NamedPrefix = "Named ";
constexpr std::string_view AppendedDataPrefix = "AppendedData ";
constexpr std::string_view ListsWord = "Lists";
constexpr std::string_view SelectsWord = "Selects";

bool RemovePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

/// The list name that follows a "Lists" or "Selects" word: "#" stands for ";" in the
/// configuration, so anything from it on is a remark.
std::string ListNameAfter(std::string_view text)
{
    return std::string(ini::Trim(text.substr(0, text.find('#'))));
}

} // namespace

DescriptionText::DescriptionText(std::string_view wholeText)
    : whole(wholeText), text(wholeText)
{
    named = RemovePrefix(text, NamedPrefix);
    appendedData = RemovePrefix(text, AppendedDataPrefix);
}

std::optional<std::string> DescriptionText::ListName() const
{
    if (text.starts_with(ListsWord))
        return ListNameAfter(text.substr(ListsWord.size()));
    if (text.starts_with(SelectsWord))
        return ListNameAfter(text.substr(SelectsWord.size()));
    return std::nullopt;
}

bool DescriptionText::IsSelects() const
{
    return text.starts_with(SelectsWord);
}

std::vector<std::pair<std::string, std::string>> DescriptionText::ObjectTypes() const
{
    std::vector<std::pair<std::string, std::string>> types;
    for (const std::string_view word : SplitWords(text)) {
        const std::size_t separator = word.find("::");
        if (separator == std::string_view::npos || separator == 0 || separator + 2 == word.size())
            continue;
        types.emplace_back(word.substr(0, separator), word.substr(separator + 2));
    }
    return types;
}

std::string HeaderListName(std::string_view rest)
{
    return rest.size() < 2 ? std::string() : ListNameAfter(rest.substr(2));
}

bool ListHoldsEntry(std::string_view present, std::string_view entry)
{
    for (const std::string_view word : SplitWords(present)) {
        if (EqualsIgnoringAsciiCase(word, entry))
            return true;
    }
    return false;
}

std::vector<std::string_view> SplitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && ini::IsWhiteSpace(text[pos]))
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !ini::IsWhiteSpace(text[pos]))
            ++pos;
        if (pos > start)
            words.push_back(text.substr(start, pos - start));
    }
    return words;
}

} // namespace kestrel
