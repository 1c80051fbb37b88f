#include "archive/CBIGFile.h"

#include "archive/BIGLayout.h"
#include "base/AsciiCase.h"
#include "base/ByteReader.h"
#include "base/IPrompt.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace kestrel {
namespace {

constexpr size_t TableChunkSize = 4 << 20;
constexpr size_t FirstPieceSize = 64 << 10;
constexpr size_t LongestRecord = 8 + MaxEntryNameLength + 1;
constexpr size_t ShortestRecord = 8 + 1;
constexpr size_t HeaderSize = 16;

const std::string ReadOnlyMessage = "Opened BIG file in Read-Only mode. Remove write protection and load again!";
const std::string UnknownFormatQuestion =
    "This file format is unknown. You can still try to open it, but this might not work. Above the type of the "
    "file is written. If it is similar to \"BIGF\", there is a chance loading will work. Try to load?";

std::string CheckName(std::string_view name)
{
    if (name.size() > MaxEntryNameLength)
        return "the name is longer than " + std::to_string(MaxEntryNameLength) + " characters";
    if (name.find('\0') != std::string_view::npos)
        return "the name contains a zero byte";
    return {};
}

bool NameLess(const BIGEntry& a, const BIGEntry& b)
{
    return CompareIgnoringAsciiCase(a.name, b.name) < 0;
}

/// One table record; false when it does not lie wholly within the bytes or its name is too long.
bool ReadRecord(ByteReader& reader, BIGEntry& entry)
{
    const auto offset = reader.ReadU32BE();
    const auto size = offset ? reader.ReadU32BE() : std::nullopt;
    auto name = size ? reader.ReadCString(MaxEntryNameLength) : std::nullopt;
    if (!name)
        return false;
    entry.offset = entry.storedOffset = *offset;
    entry.size = entry.storedSize = *size;
    entry.name = std::move(*name);
    return true;
}

} // namespace

CBIGFile::CBIGFile(IPrompt& prompt) : m_prompt(prompt) {}

CBIGFile::~CBIGFile() = default;

int CBIGFile::Fail(std::string reason)
{
    m_lastError = std::move(reason);
    return 0;
}

int CBIGFile::Open(const std::filesystem::path& path, int loadWhole)
{
    return OpenFile(path, loadWhole != 0, false);
}

int CBIGFile::OpenForReading(const std::filesystem::path& path)
{
    return OpenFile(path, false, true);
}

int CBIGFile::OpenFile(const std::filesystem::path& path, bool loadWhole, bool readOnly)
{
    Close();
    m_path = path;
    m_lastError.clear();
    std::memcpy(m_magic, "BIGF", 4);
    m_format = BIGFormat_BIGF;

    if (readOnly || !m_file.Open(path, File::Mode::ReadWrite)) {
        if (!m_file.Open(path, File::Mode::ReadOnly))
            return Fail("cannot open " + path.string() + ": " + m_file.LastError());
        if (!readOnly)
            m_prompt.ShowMessage(ReadOnlyMessage, path.string());
    }
    const std::int64_t length = m_file.Length();
    if (length < 0) {
        const std::string reason = m_file.LastError();
        Close();
        return Fail("cannot read " + path.string() + ": " + reason);
    }
    m_fileLength = static_cast<std::uint64_t>(length);
    m_identity = m_file.CurrentIdentity();
    if (loadWhole) {
        LoadWholeFile();
        m_file.Close();
        if (!m_memoryImage) {
            Close();
            return Fail("cannot read " + path.string() + " into memory");
        }
    }
    ReadHeaderAndTable();
    return 1;
}

void CBIGFile::ReadHeaderAndTable()
{
    std::uint8_t header[HeaderSize];
    if (m_fileLength < HeaderSize || !ReadStored(0, header, HeaderSize))
        return;
    std::memcpy(m_magic, header, 4);
    if (std::memcmp(header, "BIGF", 4) == 0) {
        m_format = BIGFormat_BIGF;
    } else if (std::memcmp(header, "BIG4", 4) == 0) {
        m_format = BIGFormat_BIG4;
    } else {
        if (!m_prompt.AskYesNo(UnknownFormatQuestion, PrintableMagic(std::string_view(m_magic, 4)))) {
            // The user said this is not an archive: let no in-place save write a BIG header into it.
            m_file.Close();
            m_memoryImage.reset();
            return;
        }
        m_format = BIGFormat_Unknown;
    }
    m_headerArchiveSize = LoadU32LE(header + 4);
    m_headerEntryCount = LoadU32BE(header + 8);
    m_storedDataStart = LoadU32BE(header + 12);
    ReadTable(m_headerEntryCount);
}

void CBIGFile::ReadTable(std::uint32_t count)
{
    // The table is read in large pieces and parsed from memory; a record never spans two pieces
    // because each piece starts at the record being parsed and holds at least a whole record.
    const std::uint64_t fitting = (m_fileLength - HeaderSize) / ShortestRecord;
    m_entries.reserve(static_cast<size_t>(std::min<std::uint64_t>(count, fitting)));
    std::vector<std::uint8_t> piece;
    std::span<const std::uint8_t> window;
    std::uint64_t windowStart = 0;
    if (m_memoryImage)
        window = *m_memoryImage;
    std::uint64_t position = HeaderSize;

    while (m_entries.size() < count) {
        const std::uint64_t windowEnd = windowStart + window.size();
        if (position + LongestRecord > windowEnd && windowEnd < m_fileLength) {
            // The header's data start says roughly where the table ends; it is only a hint.
            const std::uint64_t wanted = piece.empty()
                                             ? std::clamp<std::uint64_t>(m_storedDataStart + 1, FirstPieceSize, TableChunkSize)
                                             : TableChunkSize;
            piece.resize(static_cast<size_t>(std::min(wanted, m_fileLength - position)));
            if (!m_file.ReadAt(position, piece.data(), piece.size()))
                break;
            window = piece;
            windowStart = position;
        }
        ByteReader reader(window.subspan(static_cast<size_t>(position - windowStart)));
        BIGEntry entry;
        if (!ReadRecord(reader, entry))
            break;
        position += reader.Position();
        m_entries.push_back(std::move(entry));
    }

    if (m_entries.size() < count) {
        m_damaged = true;
        m_prompt.ShowMessage("This BIG file is damaged: its table lists " + std::to_string(count) +
                                 " entries, but only " + std::to_string(m_entries.size()) +
                                 " could be read. Only these entries are shown, and saving keeps only these.",
                             m_path.string());
    }
}

void CBIGFile::Close()
{
    m_file.Close();
    m_memoryImage.reset();
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_fileLength = 0;
    m_storedDataStart = 0;
    m_headerArchiveSize = 0;
    m_headerEntryCount = 0;
    m_damaged = false;
    m_identity = {};
    m_path.clear();
    m_sortPending = false;
    m_sortStamps.clear();
    m_nameIndex.Invalidate();
}

void CBIGFile::LoadWholeFile()
{
    if (m_memoryImage || !m_file.IsOpen())
        return;
    std::vector<std::uint8_t> image(static_cast<size_t>(m_fileLength));
    if (image.empty() || m_file.ReadAt(0, image.data(), image.size()))
        m_memoryImage = std::move(image);
}

bool CBIGFile::ReadStored(std::uint64_t offset, std::uint8_t* buffer, size_t size)
{
    if (offset > m_fileLength || size > m_fileLength - offset)
        return false;
    if (m_memoryImage) {
        std::memcpy(buffer, m_memoryImage->data() + offset, size);
        return true;
    }
    return m_file.IsOpen() && m_file.ReadAt(offset, buffer, size);
}

bool CBIGFile::ChangedOnDisk() const
{
    return HasFile() && IdentityOf(m_path) != m_identity;
}

bool CBIGFile::OpenSource(const BIGEntry& entry, File& file, std::string& problem) const
{
    const std::string shown = entry.source->path.string();
    if (!file.Open(entry.source->path, File::Mode::ReadOnly)) {
        problem = "cannot read " + shown + " (added as " + entry.name + "): " + file.LastError();
        return false;
    }
    if (!SourceUnchanged(entry, file, problem))
        return false;
    return true;
}

bool CBIGFile::SourceUnchanged(const BIGEntry& entry, File& file, std::string& problem) const
{
    if (file.CurrentIdentity() == entry.source->identity)
        return true;
    problem = entry.source->path.string() + " (added as " + entry.name +
              ") changed after it was added; add it again to take its new content";
    return false;
}

std::string CBIGFile::OutsideFileReason(const BIGEntry& entry) const
{
    const std::uint64_t end = std::uint64_t{entry.storedOffset} + entry.storedSize;
    return "the bytes of " + entry.name + " (" + std::to_string(entry.storedOffset) + " to " + std::to_string(end) +
           ") lie outside the archive file of " + std::to_string(m_fileLength) + " bytes";
}

bool CBIGFile::CanRead(const BIGEntry& entry) const
{
    if (entry.heldBytes || entry.source || entry.storedSize == 0)
        return true;
    const bool hasSource = m_memoryImage.has_value() || m_file.IsOpen();
    return hasSource && std::uint64_t{entry.storedOffset} + entry.storedSize <= m_fileLength;
}

int CBIGFile::FindEntry(std::string_view name) const
{
    const std::span<const std::uint64_t> stamps = m_sortPending ? m_sortStamps : std::span<const std::uint64_t>{};
    return m_nameIndex.Find(m_entries, stamps, name);
}

int CBIGFile::GetEntryCount() const
{
    return static_cast<int>(m_entries.size());
}

const BIGEntry* CBIGFile::GetEntry(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return nullptr;
    return &m_entries[static_cast<size_t>(index)];
}

const std::string& CBIGFile::GetEntryName(int index) const
{
    static const std::string none;
    const BIGEntry* entry = GetEntry(index);
    return entry ? entry->name : none;
}

std::uint32_t CBIGFile::GetEntrySize(int index) const
{
    const BIGEntry* entry = GetEntry(index);
    return entry ? entry->size : 0;
}

int CBIGFile::GetEntryData(int index, std::uint8_t* buffer)
{
    const BIGEntry* entry = GetEntry(index);
    if (!entry)
        return Fail("there is no entry number " + std::to_string(index));
    if (!CanRead(*entry))
        return Fail(OutsideFileReason(*entry));
    if (entry->heldBytes) {
        std::copy(entry->heldBytes->begin(), entry->heldBytes->end(), buffer);
        return 1;
    }
    if (entry->source) {
        File source;
        std::string problem;
        if (!OpenSource(*entry, source, problem))
            return Fail(problem);
        if (entry->size > 0 && !source.ReadAt(0, buffer, entry->size))
            return Fail("cannot read " + entry->source->path.string() + ": " + source.LastError());
        return 1;
    }
    if (entry->storedSize > 0 && !ReadStored(entry->storedOffset, buffer, entry->storedSize))
        return Fail("cannot read " + entry->name + ": " + m_file.LastError());
    return 1;
}

std::optional<std::vector<std::uint8_t>> CBIGFile::GetEntryBytes(int index)
{
    const BIGEntry* entry = GetEntry(index);
    // Checked before allocating, so a damaged size field cannot ask for gigabytes.
    if (!entry || !CanRead(*entry))
        return std::nullopt;
    std::vector<std::uint8_t> bytes(entry->size);
    if (!GetEntryData(index, bytes.data()))
        return std::nullopt;
    return bytes;
}

CBIGFile::PieceRead CBIGFile::ReadEntryPieces(int index, const PieceSink& sink)
{
    const BIGEntry* entry = GetEntry(index);
    if (!entry) {
        Fail("there is no entry number " + std::to_string(index));
        return PieceRead::NoSuchEntry;
    }
    if (!CanRead(*entry)) {
        Fail(OutsideFileReason(*entry));
        return PieceRead::OutsideFile;
    }
    bool stopped = false;
    const PieceSink watched = [&](std::span<const std::uint8_t> piece) {
        stopped = !sink(piece);
        return !stopped;
    };
    std::vector<std::uint8_t> chunk;
    std::string problem;
    if (StreamEntry(*entry, watched, chunk, problem))
        return PieceRead::Read;
    if (stopped)
        return PieceRead::Stopped;
    // A file added from disk names its own failure; the archive file's error would mislead.
    const bool archiveError = !entry->source && !m_file.LastError().empty();
    Fail(problem + (archiveError ? ": " + m_file.LastError() : ""));
    return PieceRead::ReadFailed;
}

int CBIGFile::SetEntryData(int index, const std::uint8_t* bytes, std::int64_t size)
{
    if (!GetEntry(index) || size < 0 || (size > 0 && bytes == nullptr))
        return Fail("invalid entry or size");
    if (static_cast<std::uint64_t>(size) > MaxArchiveLength)
        return Fail("the entry would be larger than an archive can hold");
    // Copied before the old bytes are freed: callers may hand in the entry's own bytes.
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    BIGEntry& entry = m_entries[static_cast<size_t>(index)];
    entry.heldBytes = std::move(copy);
    entry.source.reset();
    entry.size = static_cast<std::uint32_t>(size);
    entry.modified = true;
    return 1;
}

int CBIGFile::AddEntry(const std::filesystem::path* sourcePath, std::string_view name)
{
    if (!sourcePath)
        return AddEntryBytes(name, {0});
    File source;
    if (!source.Open(*sourcePath, File::Mode::ReadOnly))
        return Fail("cannot open " + sourcePath->string() + ": " + source.LastError());
    const std::int64_t length = source.Length();
    if (length < 0 || static_cast<std::uint64_t>(length) > MaxArchiveLength)
        return Fail("cannot take " + sourcePath->string() + " into an archive: " +
                    (length < 0 ? source.LastError() : std::string("it is larger than 4 GiB")));
    // Only where the bytes are is kept: they are read when the archive is saved.
    BIGEntry entry;
    entry.name = std::string(name);
    entry.size = static_cast<std::uint32_t>(length);
    std::error_code ignored;
    entry.source = EntrySource{std::filesystem::absolute(*sourcePath, ignored), source.CurrentIdentity()};
    entry.modified = true;
    return AddNewEntry(std::move(entry));
}

void CBIGFile::BeginPendingSort()
{
    if (m_sortPending)
        return;
    m_sortStamps.resize(m_entries.size());
    std::iota(m_sortStamps.begin(), m_sortStamps.end(), std::uint64_t{0});
    m_nextStamp = m_entries.size();
    m_sortPending = true;
}

int CBIGFile::AddEntryBytes(std::string_view name, std::vector<std::uint8_t> bytes)
{
    if (bytes.size() > MaxArchiveLength)
        return Fail("cannot add " + std::string(name) + ": it is larger than 4 GiB");
    BIGEntry entry;
    entry.name = std::string(name);
    entry.size = static_cast<std::uint32_t>(bytes.size());
    entry.heldBytes = std::move(bytes);
    entry.modified = true;
    return AddNewEntry(std::move(entry));
}

int CBIGFile::AddNewEntry(BIGEntry entry)
{
    const std::string_view name = entry.name;
    if (const std::string problem = CheckName(name); !problem.empty())
        return Fail("cannot add " + std::string(name) + ": " + problem);

    const int existing = FindEntry(name);
    if (!m_sortingDeferred && !m_sortPending && IsSortedByName()) {
        InsertIntoSortedTable(std::move(entry), existing);
        return 1;
    }
    // A replaced entry takes the new one's place in the table and the youngest age, which sorts
    // exactly like removing it and appending the new entry at the end.
    BeginPendingSort();
    if (existing >= 0) {
        const auto slot = static_cast<size_t>(existing);
        m_entries[slot] = std::move(entry);
        m_sortStamps[slot] = m_nextStamp++;
        m_nameIndex.OnReplacedFirst(m_entries, existing);
    } else {
        m_entries.push_back(std::move(entry));
        m_sortStamps.push_back(m_nextStamp++);
        m_nameIndex.OnAppended(m_entries, static_cast<int>(m_entries.size()) - 1);
    }
    if (!m_sortingDeferred)
        SortEntries();
    return 1;
}

bool CBIGFile::IsSortedByName() const
{
    return std::is_sorted(m_entries.begin(), m_entries.end(), NameLess);
}

void CBIGFile::InsertIntoSortedTable(BIGEntry entry, int replaced)
{
    // Where a full sort would put the youngest entry: behind every name equal to it. Adding one
    // entry to a large sorted table thus costs one move of the table instead of a sort.
    if (replaced >= 0)
        m_entries.erase(m_entries.begin() + replaced);
    const auto place = std::upper_bound(m_entries.begin(), m_entries.end(), entry, NameLess);
    m_entries.insert(place, std::move(entry));
    m_nameIndex.Invalidate();
}

int CBIGFile::DeleteEntry(int index)
{
    if (!GetEntry(index))
        return Fail("there is no entry number " + std::to_string(index));
    m_entries.erase(m_entries.begin() + index);
    if (m_sortPending)
        m_sortStamps.erase(m_sortStamps.begin() + index);
    m_nameIndex.Invalidate();
    return 1;
}

int CBIGFile::RenameEntry(int index, std::string_view name)
{
    if (!GetEntry(index))
        return Fail("there is no entry number " + std::to_string(index));
    if (const std::string problem = CheckName(name); !problem.empty())
        return Fail("cannot rename to " + std::string(name) + ": " + problem);
    m_entries[static_cast<size_t>(index)].name = std::string(name);
    m_nameIndex.Invalidate();
    return 1;
}

void CBIGFile::SortEntries()
{
    // Equal names (up to case) keep their age order, so the result does not depend on the
    // sorting algorithm and a batch of additions sorts like additions one at a time.
    std::vector<size_t> order(m_entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const auto age = [&](size_t i) { return m_sortPending ? m_sortStamps[i] : i; };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int byName = CompareIgnoringAsciiCase(m_entries[a].name, m_entries[b].name);
        return byName < 0 || (byName == 0 && age(a) < age(b));
    });
    std::vector<BIGEntry> sorted;
    sorted.reserve(m_entries.size());
    for (const size_t i : order)
        sorted.push_back(std::move(m_entries[i]));
    m_entries = std::move(sorted);
    m_sortPending = false;
    m_sortStamps.clear();
    m_nameIndex.Invalidate();
}

void CBIGFile::DeferSorting(bool defer)
{
    m_sortingDeferred = defer;
    if (!defer && m_sortPending)
        SortEntries();
}

void CBIGFile::SetFormat(int format)
{
    if (format == BIGFormat_BIGF)
        std::memcpy(m_magic, "BIGF", 4);
    else if (format == BIGFormat_BIG4)
        std::memcpy(m_magic, "BIG4", 4);
    else if (format != BIGFormat_Unknown)
        return;
    m_format = format;
}

std::string CBIGFile::GetMagic() const
{
    return std::string(m_magic, 4);
}

} // namespace kestrel
