#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {

// A second reading of an archive's header and table that tolerates what the archive core stops
// at (names over 259 characters, tables cut short) and says what is wrong with them. Used by
// `kestrel-big verify`; it never changes the file.

/// One table record exactly as stored.
struct CheckedEntry
{
    std::string name;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

struct ArchiveCheckReport
{
    std::string magic;
    std::uint64_t fileLength = 0;
    std::uint32_t archiveSizeField = 0;
    std::uint32_t entryCountField = 0;
    std::uint32_t lastHeaderByteField = 0;
    /// Offset just behind the last record read.
    std::uint64_t tableEnd = 0;
    std::vector<CheckedEntry> entries;
    /// Each a sentence naming the entries concerned; empty for a sound archive.
    std::vector<std::string> problems;
};

/// Reads and checks the archive at `path`. Nullopt (with `error`) only when the file cannot be
/// read at all; a damaged archive gives a report with problems.
std::optional<ArchiveCheckReport> CheckArchive(const std::filesystem::path& path, std::string* error);

/// The number of bytes in [from, to) that no range (offset, size) covers.
std::uint64_t CountUncoveredBytes(std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges,
                                  std::uint64_t from, std::uint64_t to);

} // namespace kestrel
