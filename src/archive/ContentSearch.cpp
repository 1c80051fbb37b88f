#include "archive/ContentSearch.h"

#include "archive/CBIGFile.h"
#include "archive/TextScan.h"
#include "base/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <cstring>
// GCC 12 warns falsely inside <regex> (its bug 105562) once the header is optimised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#else
#include <regex>
#endif
#include <string_view>

namespace kestrel {
namespace {

// How much of an entry's start is looked at for zero bytes.
constexpr size_t BinaryProbeLength = 64 << 10;

const char* FindLineFeed(const char* begin, const char* end)
{
    const void* found = std::memchr(begin, '\n', static_cast<size_t>(end - begin));
    return found ? static_cast<const char*>(found) : end;
}

const char* LineStart(const char* limit, const char* at)
{
    while (at > limit && at[-1] != '\n')
        --at;
    return at;
}

/// How often a byte turns up in INI and script text; the rarest byte of a pattern is the one the
/// scan looks for, so it stops seldom.
int Commonness(unsigned char c)
{
    if (c == ' ' || c == '\t')
        return 9;
    if (std::string_view("etaoinsr=").find(static_cast<char>(c)) != std::string_view::npos)
        return 8;
    if (std::string_view("lhdcumfpgwyb_\r").find(static_cast<char>(c)) != std::string_view::npos)
        return 6;
    if (c >= '0' && c <= '9')
        return 5;
    if (c >= 'a' && c <= 'z')
        return 4;
    if (c >= 'A' && c <= 'Z')
        return 3;
    return 1;
}

/// Plain text: a scan for the places where three of the pattern's rarest bytes all sit, then a
/// comparison there.
class TextSearch final : public ContentSearch
{
public:
    TextSearch(std::string_view pattern, bool ignoreCase)
        : m_needle(ignoreCase ? AsciiLowered(pattern) : std::string(pattern)), m_ignoreCase(ignoreCase)
    {
        // The rarest bytes first; of equally rare ones the one farthest from those taken, since
        // nearby bytes of a word turn up together in other words too.
        std::vector<size_t> taken;
        for (auto& probeByte : m_probe) {
            size_t best = m_needle.size();
            for (size_t i = 0; i < m_needle.size(); ++i) {
                if (std::find(taken.begin(), taken.end(), i) != taken.end())
                    continue;
                if (best == m_needle.size() || Rarity(i) < Rarity(best) ||
                    (Rarity(i) == Rarity(best) && DistanceFrom(taken, i) > DistanceFrom(taken, best)))
                    best = i;
            }
            if (best == m_needle.size()) // a short pattern: its bytes are used again
                best = taken.back();
            taken.push_back(best);
            probeByte = ByteAt(best);
        }
    }

    const char* FindMatchingLine(const char* begin, const char* end) const override
    {
        if (static_cast<size_t>(end - begin) < m_needle.size())
            return end;
        const char* last = end - m_needle.size(); // the pattern's last possible start
        for (const char* at = begin; (at = FindPatternProbe(at, last, m_probe)) <= last; ++at) {
            if (Equals(at))
                return LineStart(begin, at);
        }
        return end;
    }

private:
    int Rarity(size_t i) const { return Commonness(static_cast<unsigned char>(m_needle[i])); }

    static size_t DistanceFrom(const std::vector<size_t>& taken, size_t i)
    {
        size_t nearest = SIZE_MAX;
        for (const size_t t : taken)
            nearest = std::min(nearest, t > i ? t - i : i - t);
        return nearest;
    }

    PatternByte ByteAt(size_t i) const
    {
        const char c = m_needle[i];
        return {i, static_cast<std::uint8_t>(c), m_ignoreCase && c >= 'a' && c <= 'z'};
    }

    bool Equals(const char* start) const
    {
        if (!m_ignoreCase)
            return std::memcmp(start, m_needle.data(), m_needle.size()) == 0;
        for (size_t i = 0; i < m_needle.size(); ++i) {
            if (AsciiToLower(start[i]) != m_needle[i])
                return false;
        }
        return true;
    }

    std::string m_needle;
    bool m_ignoreCase = false;
    PatternProbe m_probe;
};

class RegexSearch final : public ContentSearch
{
public:
    explicit RegexSearch(std::regex expression) : m_expression(std::move(expression)) {}

    const char* FindMatchingLine(const char* begin, const char* end) const override
    {
        for (const char* line = begin; line < end;) {
            const char* feed = FindLineFeed(line, end);
            const char* textEnd = feed > line && feed[-1] == '\r' ? feed - 1 : feed;
            if (std::regex_search(line, textEnd, m_expression))
                return line;
            line = feed + 1;
        }
        return end;
    }

private:
    std::regex m_expression;
};

/// One entry's bytes as they arrive, cut into runs of whole lines for the search; the line that
/// straddles two pieces is put together first. Lines are counted, and the entry probed for zero
/// bytes, only where a match needs it: most entries of a search match nowhere, and a pass over
/// their bytes for either would cost as much as the search itself.
class EntryScan
{
public:
    EntryScan(const ContentSearch& search, int entry, std::uint64_t size, IContentSearchObserver& observer,
              ContentSearchSummary& summary)
        : m_search(search), m_entry(entry), m_size(size), m_observer(observer), m_summary(summary)
    {
    }

    /// False once the entry needs no more reading (a binary entry matched).
    bool Take(std::span<const std::uint8_t> piece)
    {
        const char* at = reinterpret_cast<const char*>(piece.data());
        const char* end = at + piece.size();
        const bool first = m_taken == 0;
        m_taken += piece.size();
        const bool more = m_taken < m_size;
        if (first)
            m_probe = std::string_view(at, std::min(piece.size(), BinaryProbeLength));
        const bool going = TakeLines(at, end, more);
        // The first piece's bytes are gone after this call: what the probe would say is settled
        // now if later pieces may still match.
        if (going && !m_probe.empty() && more)
            IsBinary();
        m_probe = {};
        return going;
    }

    /// The last line, when the entry ended before its expected size and without a line feed.
    void Finish()
    {
        if (!m_partial.empty())
            Scan(m_partial.data(), m_partial.data() + m_partial.size(), false);
    }

    bool Matched() const { return m_matched; }

private:
    bool TakeLines(const char* at, const char* end, bool more)
    {
        if (!m_partial.empty()) {
            const char* feed = FindLineFeed(at, end);
            if (feed == end && more) {
                m_partial.append(at, end);
                return true;
            }
            const char* taken = feed == end ? end : feed + 1;
            m_partial.append(at, taken);
            if (!Scan(m_partial.data(), m_partial.data() + m_partial.size(), true))
                return false;
            m_partial.clear();
            at = taken;
        }
        if (!more) // the entry's last piece: its unterminated last line is searched with the rest
            return Scan(at, end, false);
        const char* lastFeed = end;
        while (lastFeed > at && lastFeed[-1] != '\n')
            --lastFeed;
        if (!Scan(at, lastFeed, true))
            return false;
        m_partial.assign(lastFeed, end);
        return true;
    }

    /// Searches [begin, end); `linesFollow`: lines after `end` may match, so every line feed in
    /// the run is counted.
    bool Scan(const char* begin, const char* end, bool linesFollow)
    {
        const char* counted = begin;
        for (const char* at = begin; (at = m_search.FindMatchingLine(at, end)) != end;) {
            m_line += CountLineFeeds(counted, at);
            const char* feed = FindLineFeed(at, end);
            Report(at, feed > at && feed[-1] == '\r' ? feed - 1 : feed);
            if (IsBinary())
                return false;
            if (feed == end)
                return true;
            at = counted = feed + 1;
            ++m_line;
        }
        if (linesFollow)
            m_line += CountLineFeeds(counted, end);
        return true;
    }

    /// grep's rule for binary files: a zero byte in the first block read.
    bool IsBinary()
    {
        if (!m_binary)
            m_binary = std::memchr(m_probe.data(), 0, m_probe.size()) != nullptr;
        return *m_binary;
    }

    void Report(const char* begin, const char* end)
    {
        // One match object for the whole entry: its text keeps its buffer from line to line.
        m_match.entry = m_entry;
        m_match.binary = IsBinary();
        m_match.line = m_match.binary ? 0 : m_line;
        m_match.text.assign(begin, m_match.binary ? begin : end);
        m_matched = true;
        ++m_summary.matches;
        m_observer.Found(m_match);
    }

    const ContentSearch& m_search;
    int m_entry;
    std::uint64_t m_size;
    IContentSearchObserver& m_observer;
    ContentSearchSummary& m_summary;
    std::string m_partial;
    ContentMatch m_match;
    std::string_view m_probe;
    std::optional<bool> m_binary;
    std::uint64_t m_taken = 0;
    std::uint64_t m_line = 0;
    bool m_matched = false;
};

} // namespace

std::unique_ptr<ContentSearch> ContentSearch::Create(const ContentSearchOptions& options, std::string& error)
{
    if (options.pattern.empty()) {
        error = "the pattern is empty";
        return nullptr;
    }
    if (options.pattern.find_first_of("\r\n") != std::string::npos) {
        error = "the pattern holds a line break; lines are searched one by one";
        return nullptr;
    }
    if (!options.regex)
        return std::make_unique<TextSearch>(options.pattern, options.ignoreCase);
    auto flags = std::regex::ECMAScript | std::regex::optimize;
    if (options.ignoreCase)
        flags |= std::regex::icase;
    try {
        return std::make_unique<RegexSearch>(std::regex(options.pattern, flags));
    } catch (const std::regex_error& failure) {
        error = "not a valid regular expression: " + std::string(failure.what());
        return nullptr;
    }
}

ContentSearchSummary ContentSearch::Run(CBIGFile& archive, std::span<const int> entries,
                                        IContentSearchObserver& observer) const
{
    ContentSearchSummary summary;
    std::uint64_t total = 0;
    for (const int entry : entries)
        total += archive.GetEntrySize(entry);
    std::uint64_t done = 0;
    for (const int entry : entries) {
        if (!observer.Progress(done, total)) {
            summary.cancelled = true;
            return summary;
        }
        EntryScan scan(*this, entry, archive.GetEntrySize(entry), observer, summary);
        std::uint64_t entryDone = 0;
        const auto read = archive.ReadEntryPieces(entry, [&](std::span<const std::uint8_t> piece) {
            // The first piece follows the question asked before the entry.
            if (entryDone > 0 && !observer.Progress(done + entryDone, total)) {
                summary.cancelled = true;
                return false;
            }
            entryDone += piece.size();
            return scan.Take(piece);
        });
        if (summary.cancelled)
            return summary;
        if (read == CBIGFile::PieceRead::Read)
            scan.Finish();
        else if (read != CBIGFile::PieceRead::Stopped) {
            ++summary.entriesUnreadable;
            observer.Problem(entry, archive.LastError());
        }
        if (scan.Matched())
            ++summary.entriesMatched;
        done += archive.GetEntrySize(entry);
    }
    observer.Progress(total, total); // finished: a late cancel changes nothing
    return summary;
}

} // namespace kestrel
