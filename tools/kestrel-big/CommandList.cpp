#include "Commands.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include <algorithm>
#include <charconv>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"long", 'l', false},
    {"json", 0, false},
};

/// `value` right-aligned in ten columns (the width of the largest 32-bit number).
void AppendColumn(std::string& out, std::uint32_t value)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto width = static_cast<size_t>(end - digits);
    out.append(width < 10 ? 10 - width : 0, ' ');
    out.append(digits, end);
    out += "  ";
}

void AppendJsonEntry(std::string& out, const BIGEntry& entry, bool first)
{
    out += first ? "\n  {\"name\": " : ",\n  {\"name\": ";
    AppendJsonString(out, entry.name);
    out += ", \"size\": " + std::to_string(entry.size) + ", \"offset\": " + std::to_string(entry.offset) + "}";
}

} // namespace

const CommandDetails ListDetails = {
    "[-l|--long] [--json] ARCHIVE [FILTER...]",
    Options,
    1,
    Unlimited,
    R"(DESCRIPTION
    Prints one line per entry, in the order of the archive's table: the size in bytes,
    right-aligned, two blanks, and the name exactly as stored (8-bit bytes, '\' separators).
    With FILTERs, only the entries they select.

OPTIONS
    -l, --long  Print the offset of each entry's data too: size, offset, name.
    --json      Print a JSON array of {"name", "size", "offset"} objects instead. Names are
                read as Latin-1 and written as UTF-8, as JSON requires.

EXIT STATUS
    0 listed; 1 the archive is damaged (what could be read is listed) or a filter selected
    nothing; 2 the archive cannot be read.

EXAMPLES
    kestrel-big list INI.big 'data/ini/object/*.ini'
    kestrel-big list --json mod.big > entries.json
)",
    true,
};

int RunList(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int status = archive.Open(args.positional[0], ArchiveUse::Read);
    if (status == ExitFailure)
        return status;
    const auto selected = archive.SelectEntries(std::span(args.positional).subspan(1), status);
    const bool json = args.Has("json");
    const bool withOffset = args.Has("long");
    // One string for the whole listing: a hundred thousand stream insertions would cost more
    // than reading the archive.
    std::string out;
    out.reserve(selected.size() * 64 + 4);
    if (json)
        out += '[';
    for (const int index : selected) {
        const BIGEntry& entry = *archive.Archive().GetEntry(index);
        if (json) {
            AppendJsonEntry(out, entry, index == selected.front());
            continue;
        }
        AppendColumn(out, entry.size);
        if (withOffset)
            AppendColumn(out, entry.offset);
        out += entry.name;
        out += '\n';
    }
    if (json)
        out += selected.empty() ? "]\n" : "\n]\n";
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    return status;
}

} // namespace kestrel::cli
