#include "Commands.h"
#include "ProgressBar.h"
#include "ToolArchive.h"

#include "archive/ArchiveCheck.h"
#include "archive/BIGLayout.h"

#include <sstream>

namespace kestrel::cli {
namespace {

std::string VariantText(const CBIGFile& archive)
{
    switch (archive.GetFormat()) {
    case BIGFormat_BIGF:
        return "BIGF (C&C Generals, Zero Hour)";
    case BIGFormat_BIG4:
        return "BIG4 (The Battle for Middle-earth)";
    default:
        return "unknown magic \"" + PrintableMagic(archive.GetMagic()) + "\", read as a BIG archive";
    }
}

std::string WithSize(std::uint64_t bytes)
{
    return bytes < 1024 ? std::to_string(bytes) : std::to_string(bytes) + " (" + FormatByteCount(bytes) + ")";
}

} // namespace

const CommandDetails InfoDetails = {
    "ARCHIVE",
    {},
    1,
    1,
    R"(DESCRIPTION
    Prints what the archive's header says and what its table adds up to:
      variant            BIGF, BIG4, or an unknown magic read anyway
      entries            entries read from the table
      header fields      archive size (offset 4), entry count (offset 8) and last header
                         byte (offset 12; the data of a freshly written archive starts one
                         byte later)
      table end          where the entry table ends and the variant's marker begins
      first data         the lowest offset of an entry with bytes
      file size          the length of the file
      entry bytes        the sum of all entry sizes
      unused bytes       bytes behind the marker that no entry covers: space an in-place
                         save left behind, which "compact" (or any whole save: "add"
                         without --in-place, the editor's Save As) gives back

EXIT STATUS
    0 printed; 1 the archive is damaged (the header announces more entries than the table
    holds); 2 the archive cannot be read.
)",
};

int RunInfo(ToolContext& context, const Arguments& args)
{
    ToolArchive opened(context);
    const int status = opened.Open(args.positional[0], ArchiveUse::Read);
    if (status == ExitFailure)
        return status;
    const CBIGFile& archive = opened.Archive();
    std::uint64_t tableEnd = 16;
    std::uint64_t entryBytes = 0;
    std::uint64_t firstData = archive.GetFileLength();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    for (int i = 0; i < archive.GetEntryCount(); ++i) {
        const BIGEntry& entry = *archive.GetEntry(i);
        tableEnd += 8 + entry.name.size() + 1;
        entryBytes += entry.size;
        ranges.emplace_back(entry.offset, entry.size);
        if (entry.size > 0)
            firstData = std::min<std::uint64_t>(firstData, entry.offset);
    }
    const std::uint64_t fileLength = archive.GetFileLength();
    const std::uint64_t markerEnd = std::min(fileLength, tableEnd + MarkerBytes(archive.GetFormat()).size());
    std::ostringstream out;
    out << "file:              " << opened.ShownName() << '\n'
        << "variant:           " << VariantText(archive) << '\n'
        << "entries:           " << archive.GetEntryCount();
    if (archive.IsDamaged())
        out << " (damaged: the header announces " << archive.GetHeaderEntryCount() << ")";
    out << '\n'
        << "header fields:     archive size " << archive.GetHeaderArchiveSize() << ", entry count "
        << archive.GetHeaderEntryCount() << ", last header byte " << archive.GetStoredDataStart() << '\n'
        << "table end:         " << tableEnd << '\n'
        << "first data:        " << (archive.GetEntryCount() > 0 && firstData < fileLength ? std::to_string(firstData) : "none")
        << '\n'
        << "file size:         " << WithSize(fileLength) << '\n'
        << "entry bytes:       " << WithSize(entryBytes) << '\n'
        << "unused bytes:      " << WithSize(CountUncoveredBytes(std::move(ranges), markerEnd, fileLength)) << '\n';
    context.out << out.str();
    return status;
}

} // namespace kestrel::cli
