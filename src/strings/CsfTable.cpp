#include "strings/CsfTable.h"

#include "base/AsciiCase.h"
#include "base/ByteReader.h"

#include <cstring>
#include <string_view>

namespace kestrel {
namespace {

// Markers are stored as their four characters, so they read backwards as little-endian words.
constexpr std::string_view TableMarker = " FSC";
constexpr std::string_view LabelMarker = " LBL";
constexpr std::string_view StringMarker = " RTS";
constexpr std::string_view ExtraStringMarker = "WRTS";
constexpr size_t HeaderSize = 24;

bool ReadMarker(ByteReader& reader, std::string& marker)
{
    const auto bytes = reader.ReadBytes(4);
    if (!bytes)
        return false;
    marker.assign(bytes->begin(), bytes->end());
    return true;
}

class CsfReader
{
public:
    explicit CsfReader(std::span<const std::uint8_t> bytes) : m_reader(bytes) {}

    CsfReadResult Read()
    {
        if (!ReadHeader() || !ReadLabels())
            return Finish(false);
        if (!m_reader.AtEnd())
            m_result.notes.push_back(std::to_string(m_reader.Remaining()) + " bytes follow the last label");
        if (m_declaredStrings != m_result.table.StringCount())
            m_result.notes.push_back("the header counts " + std::to_string(m_declaredStrings) + " strings, the labels hold "
                                     + std::to_string(m_result.table.StringCount()));
        return Finish(true);
    }

private:
    CsfReadResult Finish(bool complete)
    {
        m_result.complete = complete;
        m_result.stoppedAt = m_stoppedAt;
        return std::move(m_result);
    }

    bool Fail(std::string problem)
    {
        m_result.problem = std::move(problem);
        return false;
    }

    bool ReadHeader()
    {
        std::string marker;
        if (m_reader.Size() < HeaderSize || !ReadMarker(m_reader, marker) || marker != TableMarker)
            return Fail("not a string table: no \" FSC\" header");
        auto& table = m_result.table;
        table.version = *m_reader.ReadU32LE();
        m_declaredLabels = *m_reader.ReadU32LE();
        m_declaredStrings = *m_reader.ReadU32LE();
        table.reserved = *m_reader.ReadU32LE();
        table.language = *m_reader.ReadU32LE();
        m_stoppedAt = m_reader.Position();
        return true;
    }

    bool ReadLabels()
    {
        for (std::uint32_t index = 0; index < m_declaredLabels; ++index) {
            if (!ReadLabel(index))
                return false;
            m_stoppedAt = m_reader.Position();
        }
        return true;
    }

    bool ReadLabel(std::uint32_t index)
    {
        const std::string where = "label " + std::to_string(index + 1) + " of " + std::to_string(m_declaredLabels);
        std::string marker;
        if (!ReadMarker(m_reader, marker))
            return Fail(where + ": the table ends early");
        if (marker != LabelMarker)
            return Fail(where + ": no \" LBL\" marker");
        const auto stringCount = m_reader.ReadU32LE();
        const auto nameLength = m_reader.ReadU32LE();
        const auto name = stringCount && nameLength ? m_reader.ReadBytes(*nameLength) : std::nullopt;
        if (!name)
            return Fail(where + ": the table ends inside the label's name");
        CsfLabel& label = m_result.table.labels.emplace_back();
        label.name.assign(name->begin(), name->end());
        const std::string named = where + " (" + label.name + ")";
        for (std::uint32_t i = 0; i < *stringCount; ++i) {
            m_stoppedAt = m_reader.Position();
            if (!ReadString(label, named + ", string " + std::to_string(i + 1)))
                return false;
        }
        return true;
    }

    bool ReadString(CsfLabel& label, const std::string& where)
    {
        std::string marker;
        if (!ReadMarker(m_reader, marker))
            return Fail(where + ": the table ends early");
        const bool hasExtra = marker == ExtraStringMarker;
        if (!hasExtra && marker != StringMarker)
            return Fail(where + ": no \" RTS\" or \"WRTS\" marker");
        const auto length = m_reader.ReadU32LE();
        const auto value = length && *length <= m_reader.Remaining() / 2 ? m_reader.ReadBytes(size_t{*length} * 2)
                                                                          : std::nullopt;
        if (!value)
            return Fail(where + ": the table ends inside the value");
        CsfString string;
        string.value.resize(*length);
        // Values are stored with every bit inverted, a light obfuscation of the UTF-16 text.
        for (size_t i = 0; i < string.value.size(); ++i)
            string.value[i] = static_cast<char16_t>(~((*value)[2 * i] | ((*value)[2 * i + 1] << 8)) & 0xFFFF);
        if (hasExtra) {
            const auto extraLength = m_reader.ReadU32LE();
            const auto extra = extraLength ? m_reader.ReadBytes(*extraLength) : std::nullopt;
            if (!extra)
                return Fail(where + ": the table ends inside the extra value");
            string.extra = std::string(extra->begin(), extra->end());
        }
        label.strings.push_back(std::move(string));
        return true;
    }

    ByteReader m_reader;
    CsfReadResult m_result;
    std::uint32_t m_declaredLabels = 0;
    std::uint32_t m_declaredStrings = 0;
    size_t m_stoppedAt = 0;
};

// Grown and copied rather than inserted: GCC 12 at -O3 warns falsely about inserting a range at
// the end of a vector (-Wstringop-overflow).
void AppendBytes(std::vector<std::uint8_t>& out, const void* bytes, size_t size)
{
    const size_t at = out.size();
    out.resize(at + size);
    if (size > 0)
        std::memcpy(out.data() + at, bytes, size);
}

void AppendU32(std::vector<std::uint8_t>& out, size_t value)
{
    std::uint8_t word[4];
    StoreU32LE(word, static_cast<std::uint32_t>(value));
    AppendBytes(out, word, sizeof word);
}

void AppendText(std::vector<std::uint8_t>& out, std::string_view text)
{
    AppendBytes(out, text.data(), text.size());
}

} // namespace

CsfLabel* CsfTable::FindLabel(std::string_view name)
{
    for (auto& label : labels) {
        if (EqualsIgnoringAsciiCase(label.name, name))
            return &label;
    }
    return nullptr;
}

const CsfLabel* CsfTable::FindLabel(std::string_view name) const
{
    return const_cast<CsfTable*>(this)->FindLabel(name);
}

size_t CsfTable::StringCount() const
{
    size_t count = 0;
    for (const auto& label : labels)
        count += label.strings.size();
    return count;
}

CsfReadResult ReadCsf(std::span<const std::uint8_t> bytes)
{
    return CsfReader(bytes).Read();
}

std::vector<std::uint8_t> WriteCsf(const CsfTable& table)
{
    std::vector<std::uint8_t> out;
    AppendText(out, TableMarker);
    AppendU32(out, table.version);
    AppendU32(out, table.labels.size());
    AppendU32(out, table.StringCount());
    AppendU32(out, table.reserved);
    AppendU32(out, table.language);
    for (const auto& label : table.labels) {
        AppendText(out, LabelMarker);
        AppendU32(out, label.strings.size());
        AppendU32(out, label.name.size());
        AppendText(out, label.name);
        for (const auto& string : label.strings) {
            AppendText(out, string.extra ? ExtraStringMarker : StringMarker);
            AppendU32(out, string.value.size());
            for (const char16_t unit : string.value) {
                const auto inverted = static_cast<std::uint16_t>(~unit);
                out.push_back(static_cast<std::uint8_t>(inverted & 0xFF));
                out.push_back(static_cast<std::uint8_t>(inverted >> 8));
            }
            if (string.extra) {
                AppendU32(out, string.extra->size());
                AppendText(out, *string.extra);
            }
        }
    }
    return out;
}

bool LooksLikeCsf(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) == TableMarker;
}

} // namespace kestrel
