#pragma once

// Writing entries out of an archive into files: one entry to a chosen file (the editor's
// Extract), or many below a folder with names taken from the entries (Extract All and
// `kestrel-big extract`). Entries stream through bounded memory and every file is written
// atomically, so a cancelled or failed extraction never leaves a half-written file behind.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CBIGFile;

/// How writing one entry to one file ended.
enum class EntryFileResult
{
    Written,
    OutsideFile, ///< the table places the entry's bytes beyond the end of the archive file
    ReadFailed,  ///< the archive could not be read
    WriteFailed, ///< the file could not be written; it is left as it was
    Cancelled,   ///< `between` said stop; the file is left as it was
};

/// Streams the current bytes of entry `index` into `target`, which is wholly replaced or left as
/// it was. `between` (when set) is asked between two pieces of a large entry with the bytes
/// written so far; false cancels. `sync` waits for the disk before the file takes its name.
/// On failure `error` says why.
EntryFileResult ExtractEntryToFile(CBIGFile& archive, int index, const std::filesystem::path& target, bool sync,
                                   std::string& error,
                                   const std::function<bool(std::uint64_t written)>& between = {});

/// Where an extraction stands.
struct ExtractProgress
{
    std::uint64_t entriesDone = 0;
    std::uint64_t entryCount = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

/// Why an entry was not extracted.
enum class ExtractProblem
{
    RefusedName,      ///< its name would lead out of the folder or names no file
    OutsideFile,      ///< its bytes lie beyond the end of the archive file
    ReadFailed,       ///< the archive could not be read
    NotConverted,     ///< the conversion failed
    FolderNotCreated, ///< `subject` is the folder
    FileNotWritten,   ///< `subject` is the file
    KeptExisting,     ///< `subject` is the file, which existed and was left alone
};

/// Hears how an extraction goes and decides whether it goes on.
class IExtractObserver
{
public:
    virtual ~IExtractObserver() = default;
    /// Called before each entry, between the pieces of a large entry and once at the end. False
    /// cancels: the file being written is dropped, files already written stay.
    virtual bool Progress(const ExtractProgress& progress) = 0;
    /// Entry `index` was not extracted. `subject` is the folder or file for FolderNotCreated and
    /// FileNotWritten, else empty. False stops the extraction there.
    virtual bool Problem(int index, ExtractProblem problem, const std::filesystem::path& subject,
                         const std::string& reason) = 0;
};

/// Turns chosen entries into other bytes while extracting (a picture into a PNG, say).
class IEntryConversion
{
public:
    virtual ~IEntryConversion() = default;
    /// What the file name of a converted entry gets appended, or nullopt to write the entry as it is.
    virtual std::optional<std::string> SuffixFor(std::string_view entryName) const = 0;
    /// The converted bytes of entry `index`, or false with `error` set.
    virtual bool Convert(int index, std::vector<std::uint8_t>& bytes, std::string& error) = 0;
};

struct ExtractOptions
{
    /// Leave files that exist (or appear while the entry is written) as they are.
    bool keepExisting = false;
    /// Extract names starting with '\' or '/' below the folder instead of refusing them.
    bool stripLeadingSlash = false;
};

struct ExtractSummary
{
    std::uint64_t filesWritten = 0;
    bool cancelled = false;
    /// A Problem answer ended the extraction before its last entry.
    bool stopped = false;
};

/// Extracts the entries `indices` (in that order) to files below `folder`: an entry's name gives
/// the file's path (ExtractionPath), missing folders are made and existing files replaced unless
/// `options` keep them. Files are not synced one by one: across thousands of small entries that
/// would cost more than the copy. Of entries with the same name the last one extracted wins.
ExtractSummary ExtractEntries(CBIGFile& archive, std::span<const int> indices, const std::filesystem::path& folder,
                              IExtractObserver& observer, IEntryConversion* conversion = nullptr,
                              const ExtractOptions& options = {});

} // namespace kestrel
