#include "archive/DuplicateNames.h"

#include "base/AsciiCase.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace kestrel {

std::vector<std::vector<size_t>> DuplicateNameGroups(size_t count, const std::function<std::string_view(size_t)>& nameAt)
{
    // Most names are unique: remember the first holder of each, and open a group only when a
    // second one turns up.
    std::unordered_map<std::string, size_t> firstHolder;
    std::unordered_map<size_t, size_t> groupOfFirst;
    firstHolder.reserve(count);
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < count; ++i) {
        const auto [slot, isNew] = firstHolder.try_emplace(AsciiLowered(nameAt(i)), i);
        if (isNew)
            continue;
        const auto [group, opened] = groupOfFirst.try_emplace(slot->second, groups.size());
        if (opened)
            groups.push_back({slot->second});
        groups[group->second].push_back(i);
    }
    // Opened in the order of their second entry; callers read them by their first.
    std::sort(groups.begin(), groups.end());
    return groups;
}

} // namespace kestrel
