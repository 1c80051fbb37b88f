#include "strings/StringTableText.h"

#include "base/AsciiCase.h"
#include "strings/TextCursor.h"
#include "strings/UnicodeText.h"

namespace kestrel {
namespace {

constexpr std::string_view ExtraKeyword = "EXTRA";

TextTableResult Failed(TextTableResult result, size_t line, std::string problem)
{
    result.ok = false;
    result.line = line;
    result.problem = std::move(problem);
    return result;
}

} // namespace

std::string WriteStr(const CsfTable& table)
{
    std::string out;
    for (const auto& label : table.labels) {
        out += Utf8FromLatin1(label.name);
        out += '\n';
        for (const auto& string : label.strings) {
            AppendQuoted(out, Utf8FromUtf16(string.value));
            out += '\n';
            if (string.extra) {
                out += ExtraKeyword;
                out += ' ';
                AppendQuoted(out, Utf8FromLatin1(*string.extra));
                out += '\n';
            }
        }
        out += "END\n\n";
    }
    return out;
}

TextTableResult ReadStr(std::string_view text)
{
    TextTableResult result;
    TextCursor cursor(text);
    for (cursor.SkipBlank("//"); !cursor.AtEnd(); cursor.SkipBlank("//")) {
        const size_t labelLine = cursor.Line();
        const std::string_view name = cursor.RestOfLine();
        if (EqualsIgnoringAsciiCase(name, "END") || name.starts_with('"'))
            return Failed(std::move(result), labelLine, "a label name is expected here");
        CsfLabel label{Latin1FromUtf8(name), {}};
        for (;;) {
            cursor.SkipBlank("//");
            const size_t line = cursor.Line();
            if (cursor.AtEnd())
                return Failed(std::move(result), labelLine, "the label \"" + label.name + "\" has no END");
            if (cursor.Peek() == '"') {
                const auto value = cursor.ReadQuoted();
                if (!value)
                    return Failed(std::move(result), line, "the quoted value does not end");
                label.strings.push_back({Utf16FromUtf8(*value), std::nullopt});
                continue;
            }
            const std::string_view word = cursor.RestOfLine();
            if (EqualsIgnoringAsciiCase(word, "END"))
                break;
            if (EqualsIgnoringAsciiCase(word.substr(0, ExtraKeyword.size()), ExtraKeyword) && !label.strings.empty()) {
                TextCursor extraCursor(word.substr(ExtraKeyword.size()));
                extraCursor.SkipSpaces();
                const auto extra = extraCursor.Peek() == '"' ? extraCursor.ReadQuoted() : std::nullopt;
                if (!extra)
                    return Failed(std::move(result), line, "EXTRA needs a quoted value on its line");
                label.strings.back().extra = Latin1FromUtf8(*extra);
                continue;
            }
            return Failed(std::move(result), line, "a quoted value or END is expected here");
        }
        result.table.labels.push_back(std::move(label));
    }
    return result;
}

} // namespace kestrel
