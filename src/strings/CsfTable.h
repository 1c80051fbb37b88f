#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

/// One string of a label: the UTF-16 value the game shows and, for strings stored with the
/// "WRTS" marker, an 8-bit extra value (nullopt for plain " RTS" strings).
struct CsfString
{
    std::u16string value;
    std::optional<std::string> extra;

    bool operator==(const CsfString&) const = default;
};

/// A label ("OBJECT:Humvee") and its strings; the games show the first, but tables may hold more.
struct CsfLabel
{
    std::string name;
    std::vector<CsfString> strings;

    bool operator==(const CsfLabel&) const = default;
};

/// A whole CSF string table. Labels keep their order; the header's unused word is kept so that
/// an unchanged table writes back to the same bytes.
struct CsfTable
{
    std::uint32_t version = 3;
    std::uint32_t language = 0;
    std::uint32_t reserved = 0;
    std::vector<CsfLabel> labels;

    bool operator==(const CsfTable&) const = default;

    /// The label named `name`, ignoring the case of A-Z as the games do; null when absent.
    CsfLabel* FindLabel(std::string_view name);
    const CsfLabel* FindLabel(std::string_view name) const;
    size_t StringCount() const;
};

/// What ReadCsf made of some bytes. A damaged table keeps every label read before the damage
/// (a label cut short keeps its complete strings); `stoppedAt` is the byte offset where reading
/// ended and `problem` says why. Oddities that do not stop reading (a header count that does not
/// match, bytes after the last label) go to `notes`.
struct CsfReadResult
{
    CsfTable table;
    bool complete = false;
    size_t stoppedAt = 0;
    std::string problem;
    std::vector<std::string> notes;
};

/// Reads a CSF table from untrusted bytes; never reads outside them and never allocates more
/// than the bytes could hold, whatever the counts claim.
CsfReadResult ReadCsf(std::span<const std::uint8_t> bytes);

/// The table as CSF bytes; the header's label and string counts are those of the table.
std::vector<std::uint8_t> WriteCsf(const CsfTable& table);

/// Whether bytes begin like a CSF table (the " FSC" marker).
bool LooksLikeCsf(std::span<const std::uint8_t> bytes);

} // namespace kestrel
