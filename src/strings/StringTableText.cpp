#include "strings/StringTableText.h"

#include "base/AsciiCase.h"

namespace kestrel {

std::optional<StringTableFormat> StringTableFormatForName(std::string_view fileName)
{
    const std::string lowered = AsciiLowered(fileName);
    if (lowered.ends_with(".str"))
        return StringTableFormat::Str;
    if (lowered.ends_with(".csv"))
        return StringTableFormat::Csv;
    if (lowered.ends_with(".po"))
        return StringTableFormat::Po;
    return std::nullopt;
}

std::string WriteStringTableText(const CsfTable& table, StringTableFormat format)
{
    switch (format) {
    case StringTableFormat::Csv: return WriteCsv(table);
    case StringTableFormat::Po: return WritePo(table);
    case StringTableFormat::Str: break;
    }
    return WriteStr(table);
}

TextTableResult ReadStringTableText(std::string_view text, StringTableFormat format)
{
    switch (format) {
    case StringTableFormat::Csv: return ReadCsv(text);
    case StringTableFormat::Po: return ReadPo(text);
    case StringTableFormat::Str: break;
    }
    return ReadStr(text);
}

} // namespace kestrel
