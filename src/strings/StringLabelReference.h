#pragma once

#include "strings/CsfTable.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

class CBIGFile;

/// A string-table label named in a line of INI text, and the bytes of the line it stands on.
struct LabelReference
{
    std::string label;
    std::size_t begin = 0;
    std::size_t end = 0;
};

/// The label a line of INI text names. With `column` (a byte offset into the line), the label
/// under the caret or just before it wins; otherwise, and when the caret is elsewhere, the first
/// label among the line's values. Comments (";", "//") and the key never count.
///
/// A value names a label when it looks like one: "CATEGORY:Name", the category a word of two or
/// more letters, digits or underscores that starts with a letter, and the name holding a letter.
/// That keeps coordinates and colours ("X:10", "R:255") out. After a key the games read as a
/// label (DisplayName, Description, TextLabel, ...) any value holding a letter is one.
std::optional<LabelReference> LabelInIniLine(std::string_view line, std::optional<std::size_t> column = std::nullopt);

/// Whether the games read the key's value as a string-table label.
bool IsLabelKey(std::string_view key);

/// Whether an entry name is that of a CSF string table.
bool IsStringTableEntryName(std::string_view name);

/// Where a label was found: which of the archives searched, which entry, and the label as the
/// table holds it (its own spelling and every string).
struct LabelLocation
{
    std::size_t archive = 0;
    int entry = -1;
    std::string entryName;
    CsfLabel label;
};

/// The first string table holding `label` (A-Z case ignored, as the games compare labels):
/// the archives in the order given, each archive's tables in table order. A damaged table is
/// searched as far as it could be read.
std::optional<LabelLocation> FindLabelInArchives(std::span<CBIGFile* const> archives, std::string_view label);

} // namespace kestrel
