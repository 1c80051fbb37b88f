// The two ways CBIGFile writes an archive: whole to a path (atomically), or in place.
#include "archive/BIGLayout.h"
#include "archive/CBIGFile.h"
#include "base/AtomicFile.h"

#include <algorithm>
#include <numeric>

namespace kestrel {
namespace {

// Entries are copied through a buffer of this size, so a save's memory does not grow with the
// archive.
constexpr size_t CopyChunkSize = 1 << 20;
// Copies the system does between files go in pieces of this size, so progress keeps moving.
constexpr std::uint64_t SystemCopyPiece = 32 << 20;

const std::string TooLargeReason = "the archive would be larger than 4 GiB - 1 bytes, which BIG offsets cannot address";

std::uint64_t SumOfSizes(std::span<const BIGEntry> entries, std::span<const int> indices)
{
    std::uint64_t sum = 0;
    for (const int i : indices)
        sum += entries[static_cast<size_t>(i)].size;
    return sum;
}

} // namespace

std::array<char, 4> CBIGFile::MagicForSave() const
{
    if (m_format == BIGFormat_BIG4)
        return {'B', 'I', 'G', '4'};
    if (m_format == BIGFormat_Unknown)
        return {m_magic[0], m_magic[1], m_magic[2], m_magic[3]};
    return {'B', 'I', 'G', 'F'};
}

void CBIGFile::ReportProgress(std::uint64_t done, std::uint64_t total) const
{
    if (m_progress)
        m_progress(done, total);
}

int CBIGFile::FailSave(const std::filesystem::path& path, const std::string& reason)
{
    return Fail("Cannot save " + (path.empty() ? std::string("the archive") : path.string()) + ": " + reason);
}

bool CBIGFile::StreamEntry(const BIGEntry& entry, const PieceSink& sink, std::vector<std::uint8_t>& chunk,
                           std::string& problem)
{
    if (entry.heldBytes)
        return sink(*entry.heldBytes);
    File source;
    if (entry.source && !OpenSource(entry, source, problem))
        return false;
    const std::uint64_t size = entry.source ? entry.size : entry.storedSize;
    for (std::uint64_t done = 0; done < size;) {
        const auto take = static_cast<size_t>(std::min<std::uint64_t>(CopyChunkSize, size - done));
        chunk.resize(take);
        if (entry.source ? !source.ReadAt(done, chunk.data(), take)
                         : !ReadStored(entry.storedOffset + done, chunk.data(), take)) {
            problem = "cannot read " + (entry.source ? entry.source->path.string() : entry.name + " from the archive file");
            return false;
        }
        if (!sink(std::span<const std::uint8_t>(chunk.data(), take)))
            return false;
        done += take;
    }
    return !entry.source || SourceUnchanged(entry, source, problem);
}

bool CBIGFile::CopyEntriesTo(size_t& next, AtomicFileWriter& writer, std::uint64_t total,
                             std::vector<std::uint8_t>& chunk, std::string& problem)
{
    const BIGEntry& entry = m_entries[next++];
    const PieceSink toWriter = [&](std::span<const std::uint8_t> piece) {
        if (!writer.Write(piece.data(), piece.size()))
            return false;
        ReportProgress(writer.BytesWritten(), total);
        return true;
    };
    if (entry.heldBytes || (m_memoryImage && !entry.source))
        return StreamEntry(entry, toWriter, chunk, problem);
    File source;
    if (entry.source && !OpenSource(entry, source, problem))
        return false;
    File& from = entry.source ? source : m_file;
    const std::uint64_t start = entry.source ? 0 : entry.storedOffset;
    std::uint64_t size = entry.source ? entry.size : entry.storedSize;
    // Unchanged entries that follow each other in the archive are copied as one range: one
    // system copy per archive instead of one per entry keeps a save as fast as `cp`.
    const auto continues = [&](const BIGEntry& following) {
        return !following.heldBytes && !following.source &&
               (following.storedSize == 0 || following.storedOffset == start + size);
    };
    while (!entry.source && next < m_entries.size() && continues(m_entries[next]))
        size += m_entries[next++].storedSize;
    for (std::uint64_t done = 0; done < size;) {
        const std::uint64_t take = std::min(SystemCopyPiece, size - done);
        if (!writer.CopyFrom(from, start + done, take)) {
            problem = (entry.source ? entry.source->path.string() : entry.name) + ": " + writer.Error();
            return false;
        }
        done += take;
        ReportProgress(writer.BytesWritten(), total);
    }
    return !entry.source || SourceUnchanged(entry, source, problem);
}

bool CBIGFile::CheckWithinFile(std::uint64_t length, std::string& problem) const
{
    // A damaged table can place entries far behind the end; appending behind them would grow the
    // file by gigabytes and then describe the gap as sound.
    for (const auto& entry : m_entries) {
        const std::uint64_t end = std::uint64_t{entry.storedOffset} + entry.storedSize;
        if (!entry.source && end > length) {
            problem = "the archive is damaged: the table places " + entry.name + " at bytes " +
                      std::to_string(entry.storedOffset) + " to " + std::to_string(end) + ", outside the file of " +
                      std::to_string(length) + " bytes";
            return false;
        }
    }
    return true;
}

bool CBIGFile::CheckReadable(std::span<const int> indices, std::string& problem) const
{
    for (const int i : indices) {
        const BIGEntry& entry = m_entries[static_cast<size_t>(i)];
        if (!CanRead(entry)) {
            problem = OutsideFileReason(entry);
            return false;
        }
    }
    return true;
}

int CBIGFile::SaveAs(const std::filesystem::path& path)
{
    m_lastError.clear();
    const std::uint64_t dataStart = TableNeed(m_entries, m_format);
    std::vector<int> all(m_entries.size());
    std::iota(all.begin(), all.end(), 0);
    const std::uint64_t total = dataStart + SumOfSizes(m_entries, all);
    if (total > MaxArchiveLength)
        return FailSave(path, TooLargeReason);
    std::string problem;
    if (!CheckReadable(all, problem))
        return FailSave(path, problem);

    std::vector<std::uint32_t> offsets;
    offsets.reserve(m_entries.size());
    std::uint64_t running = dataStart;
    for (const auto& entry : m_entries) {
        offsets.push_back(static_cast<std::uint32_t>(running));
        running += entry.size;
    }
    const auto block = BuildTableBlock(MagicForSave(), m_format, m_entries, offsets,
                                       static_cast<std::uint32_t>(dataStart), static_cast<std::uint32_t>(total), true);

#ifdef _WIN32
    // Windows cannot rename over a file that is open, so the archive's own file is read whole
    // and its handle closed first; a failed save opens it again.
    std::error_code sameError;
    const bool ownFile = m_file.IsOpen() && std::filesystem::equivalent(path, m_path, sameError);
    if (ownFile) {
        LoadWholeFile();
        if (!m_memoryImage)
            return FailSave(path, "cannot read the archive into memory");
        m_file.Close();
    }
#endif

    AtomicFileWriter writer(path);
    std::vector<std::uint8_t> chunk;
    bool ok = writer.Begin() && writer.Write(block.data(), block.size());
    for (size_t next = 0; ok && next < m_entries.size();)
        ok = CopyEntriesTo(next, writer, total, chunk, problem);
    ok = ok && writer.Commit();

#ifdef _WIN32
    if (ownFile && !ok && m_file.Open(m_path, File::Mode::ReadWrite))
        m_memoryImage.reset();
#endif
    if (!ok)
        return FailSave(path, problem.empty() ? writer.Error() : problem);
    AdoptSavedFile(path, offsets, dataStart, total);
    return 1;
}

void CBIGFile::AdoptSavedFile(const std::filesystem::path& path, std::span<const std::uint32_t> offsets,
                              std::uint64_t dataStart, std::uint64_t archiveSize)
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        BIGEntry& entry = m_entries[i];
        entry.offset = entry.storedOffset = offsets[i];
        entry.storedSize = entry.size;
        entry.modified = false;
        entry.source.reset();
        entry.heldBytes.reset(); // the new file holds them now
    }
    // The stored offsets now describe the new file, so reads must come from it.
    m_memoryImage.reset();
    File saved;
    if (saved.Open(path, File::Mode::ReadWrite) || saved.Open(path, File::Mode::ReadOnly))
        m_file = std::move(saved);
    else
        m_file.Close();
    m_path = path;
    m_identity = m_file.CurrentIdentity();
    m_fileLength = archiveSize;
    m_storedDataStart = static_cast<std::uint32_t>(dataStart - 1);
    m_headerArchiveSize = static_cast<std::uint32_t>(archiveSize);
    m_headerEntryCount = static_cast<std::uint32_t>(m_entries.size());
    m_damaged = false;
}

// Write order: the entries that move go behind the old end of the file first, then the entries
// rewritten where they stand; after a sync the header, table and marker follow, and a last sync.
// Until the table is written the old table stays valid for every entry not rewritten in place,
// moved entries are read before anything could overwrite their old bytes (nothing is written
// below the old end before them), and a full disk fails while only appending.
int CBIGFile::SaveInPlace()
{
    m_lastError.clear();
    if (!m_file.IsOpen())
        return FailSave(m_path, "the archive has no file of its own yet; use Save As");
    if (!m_file.IsWritable())
        return FailSave(m_path, "the file was opened read-only");
    const std::int64_t length = m_file.Length();
    if (length < 0)
        return FailSave(m_path, m_file.LastError());

    std::string problem;
    const InPlacePlan plan = PlanInPlace(m_entries, m_format, m_storedDataStart, static_cast<std::uint64_t>(length));
    if (plan.tooLarge)
        return FailSave(m_path, TooLargeReason);
    if (!CheckWithinFile(static_cast<std::uint64_t>(length), problem))
        return FailSave(m_path, problem);
    if (!CheckReadable(plan.moved, problem) || !CheckReadable(plan.rewrittenInPlace, problem))
        return FailSave(m_path, problem);

    const auto block = BuildTableBlock(MagicForSave(), m_format, m_entries, plan.offsets,
                                       static_cast<std::uint32_t>(plan.dataStart),
                                       static_cast<std::uint32_t>(plan.archiveSize), false);
    const std::uint64_t total =
        block.size() + SumOfSizes(m_entries, plan.moved) + SumOfSizes(m_entries, plan.rewrittenInPlace);
    std::uint64_t done = 0;
    std::vector<std::uint8_t> chunk;
    const auto writeAt = [&](std::uint64_t offset, const std::uint8_t* bytes, size_t size) {
        if (!m_file.WriteAt(offset, bytes, size)) {
            problem = m_file.LastError();
            return false;
        }
        done += size;
        ReportProgress(done, total);
        return true;
    };
    const auto writeEntries = [&](const std::vector<int>& indices) {
        for (const int k : indices) {
            std::uint64_t at = plan.offsets[static_cast<size_t>(k)];
            const PieceSink sink = [&](std::span<const std::uint8_t> piece) {
                const bool wrote = writeAt(at, piece.data(), piece.size());
                at += piece.size();
                return wrote;
            };
            if (!StreamEntry(m_entries[static_cast<size_t>(k)], sink, chunk, problem))
                return false;
        }
        return true;
    };
    const auto sync = [&] {
        if (!m_file.Sync())
            problem = m_file.LastError();
        return problem.empty();
    };
    const bool entriesWritten = writeEntries(plan.moved) && writeEntries(plan.rewrittenInPlace) && sync();
    if (!entriesWritten) {
        // The old table was not touched and describes nothing behind the old end: give the bytes
        // appended so far back, rather than leave a file grown by a failed save (on a full disk,
        // the space other programs need).
        if (!m_file.Truncate(static_cast<std::uint64_t>(length)))
            problem += "; the file keeps the bytes appended before the failure: " + m_file.LastError();
        return FailSave(m_path, problem);
    }
    if (!writeAt(0, block.data(), block.size()) || !sync())
        return FailSave(m_path, problem);

    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].offset = plan.offsets[i];
    for (const auto* written : {&plan.moved, &plan.rewrittenInPlace}) {
        for (const int k : *written) {
            BIGEntry& entry = m_entries[static_cast<size_t>(k)];
            entry.storedOffset = entry.offset;
            entry.storedSize = entry.size;
            entry.modified = false;
            entry.source.reset();
        }
    }
    m_identity = m_file.CurrentIdentity();
    // The memory image, if any, no longer matches the file.
    m_memoryImage.reset();
    const std::int64_t lengthAfter = m_file.Length();
    m_fileLength = lengthAfter >= 0 ? static_cast<std::uint64_t>(lengthAfter) : plan.endOfFile;
    m_storedDataStart = static_cast<std::uint32_t>(plan.dataStart - 1);
    m_headerArchiveSize = static_cast<std::uint32_t>(plan.archiveSize);
    m_headerEntryCount = static_cast<std::uint32_t>(m_entries.size());
    return 1;
}

} // namespace kestrel
