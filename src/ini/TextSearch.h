#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// What the Find and Replace dialogs ask for.
struct TextSearch
{
    std::string what;
    bool matchCase = false;
    /// A match must not have a letter, digit or "_" right before or after it.
    bool wholeWord = false;
};

/// The first match of `search` in `text` that starts at or after `from`; none for an empty
/// search text. Letter case folds for A-Z only, as everywhere in the games' files.
std::optional<std::size_t> FindInText(std::string_view text, const TextSearch& search, std::size_t from);

} // namespace kestrel
