#pragma once

#include "archive/EntryNameMatcher.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CBIGFile;

/// What an entry list can be ordered by; TableOrder is the archive's own order.
enum class EntrySortKey { TableOrder, Name, Size, Type };

/// The type an entry list shows for a name: the extension of its last part, lower-cased
/// ("ini" for data\INI\Weapon.INI), or empty when that part has no dot.
std::string EntryTypeOf(std::string_view name);

/// The rows of an entry list: which entries it shows (a name filter) and in which order (a sort
/// key). Row r shows entry EntryAt(r), so every command chosen on a row acts on the entry the row
/// shows, however the list is filtered or sorted. The whole table is sorted once per key; a new
/// filter only walks that order, so typing into a filter box stays fast on huge tables.
class EntryListOrder
{
public:
    /// Takes the table anew (entries added, removed or renamed), keeping the key and the filter.
    void Reset(const CBIGFile& archive);
    void SetSort(const CBIGFile& archive, EntrySortKey key, bool descending);
    void SetFilter(const CBIGFile& archive, EntryNameMatcher matcher);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int EntryCount() const { return static_cast<int>(m_sorted.size()); }
    /// The entry row `row` shows, or -1 outside the rows.
    int EntryAt(int row) const;
    /// The row showing `entry`, or -1 when the filter hides it (or there is no such entry).
    int RowOf(int entry) const;
    EntrySortKey SortKey() const { return m_key; }
    bool Descending() const { return m_descending; }

private:
    void Sort(const CBIGFile& archive);
    void Filter(const CBIGFile& archive);

    EntrySortKey m_key = EntrySortKey::TableOrder;
    bool m_descending = false;
    EntryNameMatcher m_matcher;
    std::vector<int> m_sorted; ///< every entry, in the order of the key
    std::vector<int> m_rows;   ///< the entries the filter lets through, in that order
    std::vector<int> m_rowOf;  ///< per entry: its row, or -1
};

} // namespace kestrel
