#include "archive/ArchiveCheck.h"

#include "archive/BIGEntry.h"
#include "archive/BIGLayout.h"
#include "archive/DuplicateNames.h"
#include "archive/EntryPaths.h"
#include "base/ByteReader.h"
#include "base/File.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr size_t HeaderSize = 16;
constexpr size_t FirstTableRead = 1 << 16;

std::string Describe(const ArchiveCheckReport& report, size_t index)
{
    return "entry #" + std::to_string(index + 1) + " \"" + report.entries[index].name + "\"";
}

/// Parses records from `table` (the bytes behind the header) until the count is reached or the
/// bytes end; returns the position reached.
size_t ParseRecords(std::span<const std::uint8_t> table, size_t position, ArchiveCheckReport& report)
{
    ByteReader reader(table);
    reader.Seek(position);
    while (report.entries.size() < report.entryCountField) {
        const size_t recordStart = reader.Position();
        const auto offset = reader.ReadU32BE();
        const auto size = reader.ReadU32BE();
        const auto name = offset && size ? reader.ReadCString(reader.Remaining()) : std::nullopt;
        if (!name) {
            reader.Seek(recordStart);
            break;
        }
        report.entries.push_back({*name, *offset, *size});
    }
    return reader.Position();
}

bool ReadTable(File& file, ArchiveCheckReport& report)
{
    const std::uint64_t available = report.fileLength - HeaderSize;
    std::vector<std::uint8_t> table;
    size_t parsed = 0;
    // Read a first slice and double it whenever a record runs past its end, so a table is read
    // in a few large reads whatever its size.
    size_t want = static_cast<size_t>(std::min<std::uint64_t>(available, FirstTableRead));
    for (;;) {
        const size_t had = table.size();
        table.resize(want);
        if (want > had && !file.ReadAt(HeaderSize + had, table.data() + had, want - had))
            return false;
        parsed = ParseRecords(table, parsed, report);
        if (report.entries.size() == report.entryCountField || table.size() == available)
            break;
        want = static_cast<size_t>(std::min<std::uint64_t>(available, std::uint64_t{want} * 2));
    }
    report.tableEnd = HeaderSize + parsed;
    if (report.entries.size() < report.entryCountField) {
        report.problems.push_back("the table ends after " + std::to_string(report.entries.size()) + " of the " +
                                  std::to_string(report.entryCountField) +
                                  " entries the header announces: the file ends inside the next record");
    }
    return true;
}

void CheckHeader(ArchiveCheckReport& report)
{
    if (report.magic != "BIGF" && report.magic != "BIG4")
        report.problems.push_back("unknown magic \"" + PrintableMagic(report.magic) + "\" (neither BIGF nor BIG4)");

    std::uint64_t firstData = report.fileLength;
    std::uint64_t totalSize = 0;
    for (const auto& entry : report.entries) {
        totalSize += entry.size;
        if (entry.size > 0)
            firstData = std::min<std::uint64_t>(firstData, entry.offset);
    }
    const std::uint64_t declaredStart = std::uint64_t{report.lastHeaderByteField} + 1;
    // Other tools write the data start itself instead of the byte before it; both are fine.
    if (report.lastHeaderByteField > firstData) {
        report.problems.push_back("header field 12 says the data starts at " + std::to_string(declaredStart) +
                                  ", but entry data starts at " + std::to_string(firstData));
    }
    if (declaredStart < report.tableEnd) {
        report.problems.push_back("header field 12 (" + std::to_string(report.lastHeaderByteField) +
                                  ") points inside the entry table, which ends at " + std::to_string(report.tableEnd));
    }
    const std::uint64_t written = declaredStart + totalSize;
    if (report.archiveSizeField != report.fileLength && report.archiveSizeField != written) {
        report.problems.push_back("header field 4 (archive size) is " + std::to_string(report.archiveSizeField) +
                                  ", but the file has " + std::to_string(report.fileLength) + " bytes");
    }
}

void CheckRanges(ArchiveCheckReport& report)
{
    std::vector<size_t> placed;
    for (size_t i = 0; i < report.entries.size(); ++i) {
        const auto& entry = report.entries[i];
        const std::uint64_t end = std::uint64_t{entry.offset} + entry.size;
        if (end > report.fileLength) {
            report.problems.push_back(Describe(report, i) + " (bytes " + std::to_string(entry.offset) + " to " +
                                      std::to_string(end) + ") lies outside the file of " +
                                      std::to_string(report.fileLength) + " bytes");
        } else if (entry.size > 0 && entry.offset < report.tableEnd) {
            report.problems.push_back(Describe(report, i) + " starts at " + std::to_string(entry.offset) +
                                      ", inside the header and table");
        } else if (entry.size > 0) {
            placed.push_back(i);
        }
    }
    std::sort(placed.begin(), placed.end(), [&](size_t a, size_t b) {
        return report.entries[a].offset < report.entries[b].offset;
    });
    // Sweep in offset order, remembering the entry that reaches furthest so far.
    std::uint64_t furthestEnd = 0;
    size_t furthest = 0;
    for (const size_t i : placed) {
        const auto& entry = report.entries[i];
        if (entry.offset < furthestEnd)
            report.problems.push_back(Describe(report, i) + " overlaps " + Describe(report, furthest));
        const std::uint64_t end = std::uint64_t{entry.offset} + entry.size;
        if (end > furthestEnd) {
            furthestEnd = end;
            furthest = i;
        }
    }
}

void CheckNames(ArchiveCheckReport& report)
{
    for (size_t i = 0; i < report.entries.size(); ++i) {
        const auto& name = report.entries[i].name;
        if (name.size() > MaxEntryNameLength) {
            report.problems.push_back(Describe(report, i) + " has a name of " + std::to_string(name.size()) +
                                      " characters (at most " + std::to_string(MaxEntryNameLength) + " fit)");
        }
        // Names the extractors refuse: a leading separator, a drive letter, a ".." part.
        std::string reason;
        if (!ExtractionPath("x", name, &reason))
            report.problems.push_back(Describe(report, i) + " cannot be extracted below a folder: " + reason);
    }
    const auto duplicates = DuplicateNameGroups(report.entries.size(), [&](size_t i) -> std::string_view {
        return report.entries[i].name;
    });
    for (const auto& indices : duplicates) {
        std::string text = "duplicate name \"" + report.entries[indices.front()].name + "\": entries";
        for (const size_t i : indices)
            text += " #" + std::to_string(i + 1);
        text += " (the games use the last, #" + std::to_string(CopyTheGamesUse(indices) + 1) + ")";
        report.problems.push_back(std::move(text));
    }
}

} // namespace

std::optional<ArchiveCheckReport> CheckArchive(const std::filesystem::path& path, std::string* error)
{
    File file;
    std::int64_t length = -1;
    if (file.Open(path, File::Mode::ReadOnly))
        length = file.Length();
    if (length < 0) {
        if (error)
            *error = file.LastError();
        return std::nullopt;
    }
    ArchiveCheckReport report;
    report.fileLength = static_cast<std::uint64_t>(length);
    if (report.fileLength < HeaderSize) {
        report.problems.push_back("the file has " + std::to_string(length) +
                                  " bytes, fewer than the 16 of an archive header");
        return report;
    }
    std::uint8_t header[HeaderSize];
    const bool read = file.ReadAt(0, header, HeaderSize);
    if (read) {
        report.magic.assign(header, header + 4);
        report.archiveSizeField = LoadU32LE(header + 4);
        report.entryCountField = LoadU32BE(header + 8);
        report.lastHeaderByteField = LoadU32BE(header + 12);
    }
    if (!read || !ReadTable(file, report)) {
        if (error)
            *error = file.LastError();
        return std::nullopt;
    }
    CheckHeader(report);
    CheckRanges(report);
    CheckNames(report);
    return report;
}

std::uint64_t CountUncoveredBytes(std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges,
                                  std::uint64_t from, std::uint64_t to)
{
    std::sort(ranges.begin(), ranges.end());
    std::uint64_t uncovered = 0;
    std::uint64_t position = from;
    for (const auto& [offset, size] : ranges) {
        const std::uint64_t start = std::clamp(offset, position, to);
        const std::uint64_t end = std::clamp(offset + size, position, to);
        uncovered += start - position;
        position = std::max(position, end);
    }
    return uncovered + (to - position);
}

} // namespace kestrel
