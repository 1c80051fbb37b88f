#pragma once

#include "base/File.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

/// The variant of an opened archive. The numeric values are stored in settings and passed
/// around as ints, so they are fixed.
enum BIGFormat : int {
    BIGFormat_BIGF = 0,    ///< C&C Generals and Zero Hour
    BIGFormat_BIG4 = 1,    ///< The Battle for Middle-earth
    BIGFormat_Unknown = 2, ///< an unknown magic the user chose to open anyway; written back as read
};

/// The longest entry name an archive record can hold (the name field is 260 bytes with its NUL).
constexpr size_t MaxEntryNameLength = 259;

/// A file added to the archive whose bytes are read only when the archive is saved (or the entry
/// read), so adding gigabytes does not hold them in memory. What the file was when added is kept,
/// so a file changed or removed since fails the save instead of giving other bytes.
struct EntrySource
{
    std::filesystem::path path;
    File::Identity identity;
};

/// One record of the in-memory entry table.
struct BIGEntry
{
    /// Where the bytes will stand after the next save; equals storedOffset after reading.
    std::uint32_t offset = 0;
    /// The entry's current length.
    std::uint32_t size = 0;
    /// Full name with backslash separators, as typed (at most MaxEntryNameLength bytes, no NUL).
    std::string name;
    /// The entry's bytes when replaced or added in memory; empty optional: still those in the file.
    std::optional<std::vector<std::uint8_t>> heldBytes;
    /// The file the entry's bytes come from when it was added from a file and not saved since.
    std::optional<EntrySource> source;
    /// Set when bytes were replaced or the entry was added; cleared when a save wrote it.
    bool modified = false;
    /// Length and place of the entry's bytes in the file on disk (0 for an entry added since).
    std::uint32_t storedSize = 0;
    std::uint32_t storedOffset = 0;
};

} // namespace kestrel
