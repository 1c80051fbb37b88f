#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

/// The description text of a value key in the structure description, as "Add Value" and
/// "Set Value" read it: optional "Named " and "AppendedData " prefixes, then either a choice
/// list ("Lists NAME" or "Selects NAME"), a "Direct" template, or Folder::Type words that name
/// where object names come from.
struct DescriptionText
{
    explicit DescriptionText(std::string_view whole);

    /// The whole text, prefixes included: the template that "Add Value" writes.
    std::string_view whole;
    /// The text after the prefixes.
    std::string_view text;
    /// "Set Value" keeps the value's first word in front of the chosen name.
    bool named = false;
    /// "Set Value" keeps what follows the replaced word behind the chosen name.
    bool appendedData = false;

    /// The name of the choice list, for a text that begins with "Lists" or "Selects".
    std::optional<std::string> ListName() const;
    /// A "Selects" list holds one entry at a time.
    bool IsSelects() const;
    /// Every blank-separated word Folder::Type with both parts present, in order.
    std::vector<std::pair<std::string, std::string>> ObjectTypes() const;
};

/// The list name of a header list rest ("= NAME" or "=", a tab and NAME): from its third
/// character, cut before the first "#", trimmed.
std::string HeaderListName(std::string_view rest);

/// True when `entry` is one of the blank-separated words of `present` (A-Z case ignored), the
/// same test that decides whether picking the entry removes or adds it.
bool ListHoldsEntry(std::string_view present, std::string_view entry);

/// The blank- or tab-separated words of `text`.
std::vector<std::string_view> SplitWords(std::string_view text);

} // namespace kestrel
