#pragma once

#include "archive/BIGEntry.h"
#include "archive/EntryNameIndex.h"
#include "base/File.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class AtomicFileWriter;
class IPrompt;

/// One opened BIG archive: its entry table, the file it came from (opened lazily, entry bytes
/// read on demand) and the edits made to the table in memory until a save writes them.
///
/// Results follow the archive convention: nonzero for success, 0 for failure; nothing throws.
/// LastError() says why the last failing operation failed, in words fit for a user.
class CBIGFile
{
public:
    /// Called during saves with the bytes written so far and the bytes the save will write.
    using ProgressObserver = std::function<void(std::uint64_t done, std::uint64_t total)>;
    /// Receives an entry's bytes piece by piece, in order; false stops the reading.
    using PieceSink = std::function<bool(std::span<const std::uint8_t> piece)>;

    /// How ReadEntryPieces ended. Everything but Read and Stopped sets LastError().
    enum class PieceRead
    {
        Read,        ///< every byte went to the sink
        NoSuchEntry, ///< the index lies outside the table
        OutsideFile, ///< the table places the bytes beyond the end of the file
        ReadFailed,  ///< the file could not be read
        Stopped,     ///< the sink returned false
    };

    explicit CBIGFile(IPrompt& prompt);
    ~CBIGFile();
    CBIGFile(const CBIGFile&) = delete;
    CBIGFile& operator=(const CBIGFile&) = delete;

    /// Opens read-write, falling back to read-only with a message; 0 only when the file cannot be
    /// opened at all. A short header or a declined unknown magic leave an empty table and return 1.
    int Open(const std::filesystem::path& path, int loadWhole = 0);
    /// Opens read-only without any message, for archives Kestrel only reads (the games' texture
    /// archives, which usually sit in write-protected installation folders).
    int OpenForReading(const std::filesystem::path& path);
    /// Becomes a read-only copy of `source` as it stands now: its table (held bytes included)
    /// over a handle of its own on the same file, so it can be read on another thread while
    /// `source` changes. Fails when the file on disk is no longer the one `source` read.
    int OpenCopyForReading(const CBIGFile& source);
    void Close();

    /// First entry whose whole name equals `name` with A-Z folded, or -1.
    int FindEntry(std::string_view name) const;
    int GetEntryCount() const;
    /// Empty for an index outside the table.
    const std::string& GetEntryName(int index) const;
    /// 0 for an index outside the table.
    std::uint32_t GetEntrySize(int index) const;
    /// The whole record, or null for an index outside the table.
    const BIGEntry* GetEntry(int index) const;

    /// Copies the entry's current bytes into `buffer`, which holds GetEntrySize(index) bytes.
    /// An index outside the table or bytes outside the file fail and leave the buffer as it was.
    int GetEntryData(int index, std::uint8_t* buffer);
    /// Convenience: the current bytes, or nullopt on failure.
    std::optional<std::vector<std::uint8_t>> GetEntryBytes(int index);
    /// The entry's current bytes (held bytes of a changed entry, else the file's) handed to `sink`
    /// in pieces of at most 1 MiB, so entries of any size pass through bounded memory. The same
    /// bounds rules as GetEntryData: nothing is handed over unless the whole entry is readable.
    PieceRead ReadEntryPieces(int index, const PieceSink& sink);
    int SetEntryData(int index, const std::uint8_t* bytes, std::int64_t size);

    /// Adds (or replaces, regardless of case) an entry from a file's content, or an empty entry
    /// of one zero byte when `sourcePath` is null. Refuses names longer than MaxEntryNameLength or
    /// holding a zero byte, and files that cannot be opened. The file's bytes are not read now
    /// but when they are needed (a save, a read of the entry), so memory does not grow with what
    /// is added; a file changed or removed by then fails that save or read, naming the file.
    int AddEntry(const std::filesystem::path* sourcePath, std::string_view name);
    /// Same as AddEntry with a file, but from bytes in memory.
    int AddEntryBytes(std::string_view name, std::vector<std::uint8_t> bytes);
    int DeleteEntry(int index);
    /// Refuses names AddEntry refuses (returns 0, nothing changes).
    int RenameEntry(int index, std::string_view name);
    void SortEntries();

    /// While deferred, AddEntry does not sort; the sort happens once when deferral ends. Adding
    /// many entries this way gives the same table as adding them one by one, which costs a pass
    /// over the whole table per entry.
    void DeferSorting(bool defer);

    void SetFormat(int format);
    int GetFormat() const { return m_format; }
    /// The four magic bytes as read or as set by SetFormat.
    std::string GetMagic() const;

    /// Rewrites the open archive file in place; only the header, the table and changed or moved
    /// entries are written. 0 when nothing could be written (no file, read-only) or a write failed.
    int SaveInPlace();
    /// Writes the whole archive to `path` atomically (a temporary file renamed over the target),
    /// streaming the entries from the source. On success the object continues on the written file
    /// (its path, offsets and stored fields describe it); on failure nothing changes.
    int SaveAs(const std::filesystem::path& path);
    void LoadWholeFile();

    void SetProgressObserver(ProgressObserver observer) { m_progress = std::move(observer); }

    const std::filesystem::path& GetPath() const { return m_path; }
    bool HasFile() const { return m_file.IsOpen() || m_memoryImage.has_value(); }
    bool IsReadOnly() const { return m_file.IsOpen() && !m_file.IsWritable(); }
    std::uint64_t GetFileLength() const { return m_fileLength; }
    /// Header field at offset 12 as read (the lower bound of the next in-place data start).
    std::uint32_t GetStoredDataStart() const { return m_storedDataStart; }
    /// Header fields as read, for diagnostics; the reader itself does not rely on them.
    std::uint32_t GetHeaderArchiveSize() const { return m_headerArchiveSize; }
    std::uint32_t GetHeaderEntryCount() const { return m_headerEntryCount; }
    /// True when the table ended before the header's entry count (a damaged archive).
    bool IsDamaged() const { return m_damaged; }

    /// True when the file under the archive's path is no longer what was read or last saved:
    /// another program changed or replaced it (size, modification time or the file itself).
    bool ChangedOnDisk() const;

    const std::string& LastError() const { return m_lastError; }

private:
    // Implementation details are free to change; the interface above is what callers use.
    void ReadHeaderAndTable();
    void ReadTable(std::uint32_t count);
    bool ReadStored(std::uint64_t offset, std::uint8_t* buffer, size_t size);
    bool CanRead(const BIGEntry& entry) const;
    bool OpenSource(const BIGEntry& entry, File& file, std::string& problem) const;
    bool SourceUnchanged(const BIGEntry& entry, File& file, std::string& problem) const;
    int AddNewEntry(BIGEntry entry);
    /// Writes entry `next` and moves `next` past it, and past the unchanged entries whose bytes
    /// follow it in the archive file, which go in the same copy.
    bool CopyEntriesTo(size_t& next, AtomicFileWriter& writer, std::uint64_t total, std::vector<std::uint8_t>& chunk,
                       std::string& problem);
    bool CheckWithinFile(std::uint64_t length, std::string& problem) const;
    std::string OutsideFileReason(const BIGEntry& entry) const;
    /// Hands the entry's current bytes to `sink` in bounded pieces; false with `problem` set when
    /// reading fails (or `sink` returns false).
    bool StreamEntry(const BIGEntry& entry, const PieceSink& sink, std::vector<std::uint8_t>& chunk,
                     std::string& problem);
    bool CheckReadable(std::span<const int> indices, std::string& problem) const;
    std::array<char, 4> MagicForSave() const;
    void BeginPendingSort();
    bool IsSortedByName() const;
    void InsertIntoSortedTable(BIGEntry entry, int replaced);
    void AdoptSavedFile(const std::filesystem::path& path, std::span<const std::uint32_t> offsets,
                        std::uint64_t dataStart, std::uint64_t archiveSize);
    void ReportProgress(std::uint64_t done, std::uint64_t total) const;
    int OpenFile(const std::filesystem::path& path, bool loadWhole, bool readOnly);
    int Fail(std::string reason);
    int FailSave(const std::filesystem::path& path, const std::string& reason);

    IPrompt& m_prompt;
    File m_file;
    std::optional<std::vector<std::uint8_t>> m_memoryImage;
    std::uint64_t m_fileLength = 0;
    /// The file as read or last saved, to notice changes by other programs.
    File::Identity m_identity;
    std::uint32_t m_storedDataStart = 0;
    std::uint32_t m_headerArchiveSize = 0;
    std::uint32_t m_headerEntryCount = 0;
    std::vector<BIGEntry> m_entries;
    std::filesystem::path m_path;
    char m_magic[4] = {'B', 'I', 'G', 'F'};
    int m_format = BIGFormat_BIGF;
    bool m_damaged = false;
    bool m_sortingDeferred = false;
    /// While entries were added but not yet sorted: one age per entry, so the sort can order
    /// names that are equal up to case exactly as adding one entry at a time would.
    bool m_sortPending = false;
    std::vector<std::uint64_t> m_sortStamps;
    std::uint64_t m_nextStamp = 0;
    mutable EntryNameIndex m_nameIndex;
    ProgressObserver m_progress;
    std::string m_lastError;
};

} // namespace kestrel
