#include "archive/ContentSearch.h"

#include "archive/CBIGFile.h"
#include "base/AsciiCase.h"

#include <algorithm>
#include <array>
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

// grep's rule for binary files: a zero byte in the first block read.
constexpr size_t BinaryProbeLength = 64 << 10;

#if defined(__GNUC__)
// Sixteen bytes at a time through the compiler's portable vectors (SSE2 on x86-64, NEON on ARM):
// counting the lines and finding the pattern's rarest byte touch every byte of the archive, and
// a byte at a time they cost several times the reading.
using Block = std::uint8_t __attribute__((vector_size(16)));

Block LoadBlock(const char* at)
{
    Block block;
    std::memcpy(&block, at, sizeof block);
    return block;
}

bool AnyLane(Block lanes)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &lanes, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

/// Line feeds in [begin, end).
std::uint64_t CountLineFeeds(const char* begin, const char* end)
{
    std::uint64_t count = 0;
    while (end - begin >= 16) {
        // At most 255 blocks per round, so no lane of the sums overflows.
        const auto blocks = std::min<std::ptrdiff_t>((end - begin) / 16, 255);
        Block sums = {};
        for (const char* roundEnd = begin + blocks * 16; begin < roundEnd; begin += 16)
            sums -= reinterpret_cast<Block>(LoadBlock(begin) == '\n'); // equal lanes are all ones: -1
        for (int lane = 0; lane < 16; ++lane)
            count += sums[lane];
    }
    return count + static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}

/// The first byte in [at, end) that is `lower` with bit 5 set (a letter in either case).
const char* FindFoldedLetter(const char* at, const char* end, char lower)
{
    const auto wanted = static_cast<std::uint8_t>(lower);
    for (; end - at >= 16; at += 16) {
        if (AnyLane(reinterpret_cast<Block>((LoadBlock(at) | 0x20) == wanted)))
            break;
    }
    for (; at < end; ++at) {
        if ((*at | 0x20) == lower)
            return at;
    }
    return end;
}
#else
std::uint64_t CountLineFeeds(const char* begin, const char* end)
{
    return static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}

const char* FindFoldedLetter(const char* at, const char* end, char lower)
{
    return std::find_if(at, end, [lower](char c) { return (c | 0x20) == lower; });
}
#endif

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

/// Plain text: a scan for the pattern's rarest byte, eight bytes at a time, then a comparison.
class TextSearch final : public ContentSearch
{
public:
    TextSearch(std::string_view pattern, bool ignoreCase) : m_ignoreCase(ignoreCase)
    {
        m_needle = ignoreCase ? AsciiLowered(pattern) : std::string(pattern);
        for (size_t i = 1; i < m_needle.size(); ++i) {
            if (Commonness(static_cast<unsigned char>(m_needle[i])) <
                Commonness(static_cast<unsigned char>(m_needle[m_anchor])))
                m_anchor = i;
        }
        const char anchor = m_needle[m_anchor];
        // Folded, a letter is found in both cases by setting bit 5 of every byte: only its two
        // cases then equal the lower-case letter.
        m_foldAnchor = ignoreCase && anchor >= 'a' && anchor <= 'z';
    }

    const char* FindMatchingLine(const char* begin, const char* end) const override
    {
        const size_t length = m_needle.size();
        if (static_cast<size_t>(end - begin) < length)
            return end;
        const char* scanEnd = end - length + m_anchor + 1; // the anchor's last possible place
        for (const char* at = begin + m_anchor; (at = FindAnchor(at, scanEnd)) != scanEnd; ++at) {
            const char* start = at - m_anchor;
            if (Equals(start))
                return LineStart(begin, start);
        }
        return end;
    }

private:
    const char* FindAnchor(const char* at, const char* end) const
    {
        const char anchor = m_needle[m_anchor];
        if (!m_foldAnchor) {
            const void* found = std::memchr(at, anchor, static_cast<size_t>(end - at));
            return found ? static_cast<const char*>(found) : end;
        }
        return FindFoldedLetter(at, end, anchor);
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
    size_t m_anchor = 0;
    bool m_ignoreCase = false;
    bool m_foldAnchor = false;
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
/// straddles two pieces is put together first.
class EntryScan
{
public:
    EntryScan(const ContentSearch& search, int entry, IContentSearchObserver& observer, ContentSearchSummary& summary)
        : m_search(search), m_entry(entry), m_observer(observer), m_summary(summary)
    {
    }

    /// False once the entry needs no more reading (a binary entry matched).
    bool Take(std::span<const std::uint8_t> piece)
    {
        const char* at = reinterpret_cast<const char*>(piece.data());
        const char* end = at + piece.size();
        if (m_first) {
            m_binary = std::memchr(at, 0, std::min(piece.size(), BinaryProbeLength)) != nullptr;
            m_first = false;
        }
        if (!m_partial.empty()) {
            const char* feed = FindLineFeed(at, end);
            if (feed == end) {
                m_partial.append(at, end);
                return true;
            }
            m_partial.append(at, feed + 1);
            if (!Scan(m_partial.data(), m_partial.data() + m_partial.size()))
                return false;
            m_partial.clear();
            at = feed + 1;
        }
        const size_t lastFeed = std::string_view(at, static_cast<size_t>(end - at)).rfind('\n');
        if (lastFeed != std::string_view::npos) {
            if (!Scan(at, at + lastFeed + 1))
                return false;
            at += lastFeed + 1;
        }
        m_partial.assign(at, end);
        return true;
    }

    /// The last line, when the entry does not end with a line feed.
    void Finish()
    {
        if (!m_partial.empty())
            Scan(m_partial.data(), m_partial.data() + m_partial.size());
    }

    bool Matched() const { return m_matched; }

private:
    bool Scan(const char* begin, const char* end)
    {
        const char* counted = begin;
        for (const char* at = begin; (at = m_search.FindMatchingLine(at, end)) != end;) {
            m_line += CountLineFeeds(counted, at);
            const char* feed = FindLineFeed(at, end);
            Report(at, feed > at && feed[-1] == '\r' ? feed - 1 : feed);
            if (m_binary)
                return false;
            if (feed == end)
                return true;
            at = counted = feed + 1;
            ++m_line;
        }
        m_line += CountLineFeeds(counted, end);
        return true;
    }

    void Report(const char* begin, const char* end)
    {
        ContentMatch match;
        match.entry = m_entry;
        match.binary = m_binary;
        if (!m_binary) {
            match.line = m_line;
            match.text.assign(begin, end);
        }
        m_matched = true;
        ++m_summary.matches;
        m_observer.Found(match);
    }

    const ContentSearch& m_search;
    int m_entry;
    IContentSearchObserver& m_observer;
    ContentSearchSummary& m_summary;
    std::string m_partial;
    std::uint64_t m_line = 0;
    bool m_first = true;
    bool m_binary = false;
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
        EntryScan scan(*this, entry, observer, summary);
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
