#pragma once

#include "archive/BIGEntry.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel {

/// Finds entries by name with A-Z folded in constant time. Built lazily from the table and kept up
/// to date by the two cheap changes a batch of additions makes (appending an entry, replacing the
/// first of a name); every other change of the table invalidates it.
///
/// Entries that share a name (up to case) form a group in "age" order: normally the table order,
/// but while a sort is pending the order of the entries' sort stamps, so that the first of a group
/// is the entry that would come first once the table is sorted.
class EntryNameIndex
{
public:
    void Invalidate() { m_valid = false; }

    /// The first entry of the group of `name`, or -1. `stamps` is empty or holds one age per entry.
    int Find(std::span<const BIGEntry> entries, std::span<const std::uint64_t> stamps, std::string_view name);

    /// Entry `index` was appended as the youngest of its group.
    void OnAppended(std::span<const BIGEntry> entries, int index);
    /// The first entry of a group, `index`, was replaced in its slot by a new, youngest entry.
    void OnReplacedFirst(std::span<const BIGEntry> entries, int index);

private:
    void Rebuild(std::span<const BIGEntry> entries, std::span<const std::uint64_t> stamps);
    void LinkAtEnd(int head, int index);

    std::unordered_map<std::string, int> m_first;
    std::vector<int> m_next; ///< next entry of the same group, -1 at the end
    bool m_valid = false;
};

} // namespace kestrel
