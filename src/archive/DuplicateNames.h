#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace kestrel {

/// Entries whose names are equal when A-Z are folded, one group per name, each in table order;
/// groups ordered by their first entry. `nameAt(i)` gives the name of entry i of `count`.
std::vector<std::vector<size_t>> DuplicateNameGroups(size_t count, const std::function<std::string_view(size_t)>& nameAt);

/// The copy of a duplicated name that the games read: they walk the table from first to last
/// and a later record of a name replaces an earlier one, so the last one wins.
inline size_t CopyTheGamesUse(const std::vector<size_t>& group)
{
    return group.back();
}

} // namespace kestrel
