#pragma once

#include "strings/CsfTable.h"

#include <string>
#include <string_view>

namespace kestrel {

/// A table read from one of the text forms. On a syntax error `table` holds what came before it,
/// `line` (1-based) says where and `problem` what.
struct TextTableResult
{
    CsfTable table;
    bool ok = true;
    size_t line = 0;
    std::string problem;
};

enum class StringTableFormat { Str, Csv, Po };

/// The format a file name asks for by its extension (".str", ".csv", ".po", any case); nullopt
/// for anything else.
std::optional<StringTableFormat> StringTableFormatForName(std::string_view fileName);

/// The games' STR text: per label the name on a line, each string as a quoted line ("\n", "\t",
/// "\"" and "\\" escaped), a stored extra value as an `EXTRA "..."` line after its string, then
/// `END`. Text is UTF-8. Reading skips blank lines and `//` comments and lets a quoted value run
/// over several lines.
std::string WriteStr(const CsfTable& table);
TextTableResult ReadStr(std::string_view text);

/// CSV (RFC 4180, UTF-8) with the header `label,value,extra`: one row per string. A row without
/// an extra cell is a plain string, one with it (even empty) a string with an extra value, and a
/// row with the label alone a label without strings.
std::string WriteCsv(const CsfTable& table);
TextTableResult ReadCsv(std::string_view text);

/// Gettext PO: one message per string, the label as msgctxt, the value as msgid and an empty
/// msgstr for the translator; extra values travel as `#. extra: "..."` comments. Reading takes a
/// message's msgstr, or its msgid while it is untranslated.
std::string WritePo(const CsfTable& table);
TextTableResult ReadPo(std::string_view text);

std::string WriteStringTableText(const CsfTable& table, StringTableFormat format);
TextTableResult ReadStringTableText(std::string_view text, StringTableFormat format);

} // namespace kestrel
