#include "archive/EntryListOrder.h"

#include "archive/CBIGFile.h"
#include "base/AsciiCase.h"

#include <algorithm>
#include <numeric>

namespace kestrel {

std::string EntryTypeOf(std::string_view name)
{
    const size_t partStart = name.find_last_of("\\/") + 1; // npos + 1 == 0
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot < partStart)
        return {};
    return AsciiLowered(name.substr(dot + 1));
}

void EntryListOrder::Reset(const CBIGFile& archive)
{
    Sort(archive);
    Filter(archive);
}

void EntryListOrder::SetSort(const CBIGFile& archive, EntrySortKey key, bool descending)
{
    m_key = key;
    m_descending = descending;
    Reset(archive);
}

void EntryListOrder::SetFilter(const CBIGFile& archive, EntryNameMatcher matcher)
{
    m_matcher = std::move(matcher);
    Filter(archive);
}

void EntryListOrder::Sort(const CBIGFile& archive)
{
    m_sorted.resize(static_cast<size_t>(archive.GetEntryCount()));
    std::iota(m_sorted.begin(), m_sorted.end(), 0);
    if (m_key == EntrySortKey::TableOrder)
        return;
    const auto name = [&](int i) -> const std::string& { return archive.GetEntryName(i); };
    // Equal keys keep table order, in both directions, so entries that share a name stay in the
    // order that says which copy the games use.
    const auto byName = [&](int a, int b) {
        const int order = CompareIgnoringAsciiCase(name(a), name(b));
        return order != 0 ? order < 0 : a < b;
    };
    const bool descending = m_descending;
    switch (m_key) {
    case EntrySortKey::Name:
        std::sort(m_sorted.begin(), m_sorted.end(), [&](int a, int b) {
            const int order = CompareIgnoringAsciiCase(name(a), name(b));
            return order != 0 ? (order < 0) != descending : a < b;
        });
        break;
    case EntrySortKey::Size:
        std::sort(m_sorted.begin(), m_sorted.end(), [&](int a, int b) {
            const auto sizeA = archive.GetEntrySize(a);
            const auto sizeB = archive.GetEntrySize(b);
            return sizeA != sizeB ? (sizeA < sizeB) != descending : a < b;
        });
        break;
    case EntrySortKey::Type: {
        std::vector<std::string> types(m_sorted.size());
        for (const int i : m_sorted)
            types[static_cast<size_t>(i)] = EntryTypeOf(name(i));
        std::sort(m_sorted.begin(), m_sorted.end(), [&](int a, int b) {
            const std::string& typeA = types[static_cast<size_t>(a)];
            const std::string& typeB = types[static_cast<size_t>(b)];
            // Within a type, by name ascending: the type is what was asked to be reversed.
            return typeA != typeB ? (typeA < typeB) != descending : byName(a, b);
        });
        break;
    }
    case EntrySortKey::TableOrder: break;
    }
}

void EntryListOrder::Filter(const CBIGFile& archive)
{
    m_rowOf.assign(m_sorted.size(), -1);
    m_rows.clear();
    m_rows.reserve(m_sorted.size());
    const bool all = m_matcher.SelectsEverything();
    for (const int entry : m_sorted) {
        if (all || m_matcher.Matches(archive.GetEntryName(entry))) {
            m_rowOf[static_cast<size_t>(entry)] = static_cast<int>(m_rows.size());
            m_rows.push_back(entry);
        }
    }
}

int EntryListOrder::EntryAt(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[static_cast<size_t>(row)] : -1;
}

int EntryListOrder::RowOf(int entry) const
{
    return entry >= 0 && entry < EntryCount() ? m_rowOf[static_cast<size_t>(entry)] : -1;
}

} // namespace kestrel
