#include "archive/EntryNameIndex.h"

#include "base/AsciiCase.h"

#include <algorithm>
#include <numeric>

namespace kestrel {

int EntryNameIndex::Find(std::span<const BIGEntry> entries, std::span<const std::uint64_t> stamps,
                         std::string_view name)
{
    if (!m_valid)
        Rebuild(entries, stamps);
    const auto found = m_first.find(AsciiLowered(name));
    return found == m_first.end() ? -1 : found->second;
}

void EntryNameIndex::Rebuild(std::span<const BIGEntry> entries, std::span<const std::uint64_t> stamps)
{
    std::vector<int> byAge(entries.size());
    std::iota(byAge.begin(), byAge.end(), 0);
    if (!stamps.empty())
        std::sort(byAge.begin(), byAge.end(), [&](int a, int b) {
            return stamps[static_cast<size_t>(a)] < stamps[static_cast<size_t>(b)];
        });

    m_first.clear();
    m_first.reserve(entries.size());
    m_next.assign(entries.size(), -1);
    // Youngest first, each entry becoming its group's new head, leaves the oldest at the head.
    for (auto it = byAge.rbegin(); it != byAge.rend(); ++it) {
        const int index = *it;
        auto [slot, inserted] = m_first.try_emplace(AsciiLowered(entries[static_cast<size_t>(index)].name), index);
        if (!inserted) {
            m_next[static_cast<size_t>(index)] = slot->second;
            slot->second = index;
        }
    }
    m_valid = true;
}

void EntryNameIndex::LinkAtEnd(int head, int index)
{
    int last = head;
    while (m_next[static_cast<size_t>(last)] >= 0)
        last = m_next[static_cast<size_t>(last)];
    m_next[static_cast<size_t>(last)] = index;
}

void EntryNameIndex::OnAppended(std::span<const BIGEntry> entries, int index)
{
    if (!m_valid)
        return;
    m_next.push_back(-1);
    auto [slot, inserted] = m_first.try_emplace(AsciiLowered(entries[static_cast<size_t>(index)].name), index);
    if (!inserted)
        LinkAtEnd(slot->second, index);
}

void EntryNameIndex::OnReplacedFirst(std::span<const BIGEntry> entries, int index)
{
    if (!m_valid)
        return;
    const int second = m_next[static_cast<size_t>(index)];
    if (second < 0)
        return; // alone in its group: it stays the first
    m_first[AsciiLowered(entries[static_cast<size_t>(index)].name)] = second;
    m_next[static_cast<size_t>(index)] = -1;
    LinkAtEnd(second, index);
}

} // namespace kestrel
