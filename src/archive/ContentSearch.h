#pragma once

// Searching the contents of an archive's entries for text, the way grep searches files: line by
// line, one result per matching line. Entries stream through the archive's piece reader, so an
// archive of any size is searched in bounded memory (one piece plus the line being assembled).

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kestrel {

class CBIGFile;

struct ContentSearchOptions
{
    std::string pattern;
    /// The pattern is an ECMAScript regular expression rather than plain text.
    bool regex = false;
    /// Letters match regardless of case (A-Z for plain text).
    bool ignoreCase = false;
};

struct ContentMatch
{
    int entry = -1;
    /// The matching line, counted from 0 by line feeds.
    std::uint64_t line = 0;
    /// The line without its line end ("\n" or "\r\n"); empty for a binary entry.
    std::string text;
    /// The entry holds zero bytes near its start (a model, a texture): like grep, it is reported
    /// once, without a line, and not read further.
    bool binary = false;
};

/// Hears how a search goes.
class IContentSearchObserver
{
public:
    virtual ~IContentSearchObserver() = default;
    /// Called before each entry and between the pieces of a large one; false cancels.
    virtual bool Progress(std::uint64_t bytesDone, std::uint64_t bytesTotal) = 0;
    virtual void Found(const ContentMatch& match) = 0;
    /// Entry `entry` could not be read (its bytes lie outside the file, the file failed); the
    /// search goes on with the next entry.
    virtual void Problem(int entry, const std::string& reason) = 0;
};

struct ContentSearchSummary
{
    std::uint64_t matches = 0;
    std::uint64_t entriesMatched = 0;
    std::uint64_t entriesUnreadable = 0;
    bool cancelled = false;
};

/// One compiled search, reusable over archives and threads (Run does not change it).
class ContentSearch
{
public:
    /// Null with `error` set when the pattern is empty, holds a line break or is not a valid
    /// regular expression.
    static std::unique_ptr<ContentSearch> Create(const ContentSearchOptions& options, std::string& error);
    virtual ~ContentSearch() = default;

    /// Searches `entries` (indices into `archive`'s table) in the order given.
    ContentSearchSummary Run(CBIGFile& archive, std::span<const int> entries, IContentSearchObserver& observer) const;

    /// Where the first line holding a match begins in [begin, end), a run of whole lines;
    /// `end` when none does.
    virtual const char* FindMatchingLine(const char* begin, const char* end) const = 0;
};

} // namespace kestrel
