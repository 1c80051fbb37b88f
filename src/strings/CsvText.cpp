#include "strings/StringTableText.h"

#include "strings/UnicodeText.h"

#include <utility>
#include <vector>

namespace kestrel {
namespace {

constexpr std::string_view Header = "label,value,extra";

void AppendCell(std::string& out, std::string_view cell)
{
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos && !cell.empty()) {
        out += cell;
        return;
    }
    // Empty cells are quoted too, so that an empty value is never mistaken for a missing one.
    out += '"';
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Splits CSV text into rows of cells; a quoted cell may hold commas, quotes ("") and line ends.
class CsvRows
{
public:
    explicit CsvRows(std::string_view text) : m_text(text) {}

    size_t Line() const { return m_line; }
    bool AtEnd() const { return m_pos >= m_text.size(); }

    bool Next(std::vector<std::string>& row, std::string& problem)
    {
        row.assign(1, {});
        while (!AtEnd()) {
            const char c = m_text[m_pos++];
            if (c == '\n') {
                ++m_line;
                return true;
            }
            if (c == '\r')
                continue;
            if (c == ',')
                row.emplace_back();
            else if (c != '"' || !row.back().empty())
                row.back() += c;
            else if (!ReadQuotedCell(row.back(), problem))
                return false;
        }
        return true;
    }

private:
    bool ReadQuotedCell(std::string& cell, std::string& problem)
    {
        for (; !AtEnd(); ++m_pos) {
            const char c = m_text[m_pos];
            if (c == '"' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                cell += '"';
                ++m_pos;
            } else if (c == '"') {
                ++m_pos;
                return true;
            } else if (c != '\r' || m_pos + 1 >= m_text.size() || m_text[m_pos + 1] != '\n') {
                m_line += c == '\n';
                cell += c;
            }
        }
        problem = "a quoted cell does not end";
        return false;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_line = 1;
};

} // namespace

std::string WriteCsv(const CsfTable& table)
{
    std::string out(Header);
    out += '\n';
    for (const auto& label : table.labels) {
        const std::string name = Utf8FromLatin1(label.name);
        if (label.strings.empty()) {
            AppendCell(out, name);
            out += '\n';
        }
        for (const auto& string : label.strings) {
            AppendCell(out, name);
            out += ',';
            AppendCell(out, Utf8FromUtf16(string.value));
            if (string.extra) {
                out += ',';
                AppendCell(out, Utf8FromLatin1(*string.extra));
            }
            out += '\n';
        }
    }
    return out;
}

TextTableResult ReadCsv(std::string_view text)
{
    TextTableResult result;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3); // spreadsheets like to save a byte order mark
    CsvRows rows(text);
    std::vector<std::string> row;
    bool header = true;
    while (!rows.AtEnd()) {
        const size_t line = rows.Line();
        std::string problem;
        if (!rows.Next(row, problem)) {
            result.ok = false;
            result.line = line;
            result.problem = problem;
            return result;
        }
        if (std::exchange(header, false) && row.size() == 3 && row[0] == "label")
            continue;
        if (row.size() == 1 && row[0].empty())
            continue; // blank line
        if (row.size() > 3 || row[0].empty()) {
            result.ok = false;
            result.line = line;
            result.problem = row[0].empty() ? "the row has no label" : "the row has more than three cells";
            return result;
        }
        const std::string name = Latin1FromUtf8(row[0]);
        auto& labels = result.table.labels;
        // Consecutive rows of one label are its strings in order.
        if (labels.empty() || labels.back().name != name || row.size() == 1)
            labels.push_back({name, {}});
        if (row.size() >= 2)
            labels.back().strings.push_back({Utf16FromUtf8(row[1]), row.size() == 3 ? std::optional(Latin1FromUtf8(row[2])) : std::nullopt});
    }
    return result;
}

} // namespace kestrel
