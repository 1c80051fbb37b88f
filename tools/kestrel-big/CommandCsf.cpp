#include "Commands.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include "archive/EntryPaths.h"
#include "base/AtomicFile.h"
#include "base/File.h"
#include "strings/CsfMerge.h"
#include "strings/StringLabelReference.h"
#include "strings/StringTableText.h"
#include "strings/TextCursor.h"
#include "strings/UnicodeText.h"

#include <algorithm>
#include <memory>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"json", 0, false},
    {"output", 'o', true},
    {"format", 0, true},
    {"replace", 0, false},
    {"in-place", 0, false},
};

// Values are UTF-16 and may hold lone surrogates from damaged tables; JSON can carry those only as
// \u escapes, so the text goes out code point by code point.
void AppendJsonUtf16(std::string& out, std::u16string_view text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
                          && text[i + 1] <= 0xDFFF;
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\n') {
            out += "\\n";
        } else if (unit < 0x20 || (unit >= 0xD800 && unit <= 0xDFFF && !pair)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hex[(unit >> shift) & 15];
        } else {
            out += Utf8FromUtf16(text.substr(i, pair ? 2 : 1));
            i += pair ? 1 : 0;
        }
    }
    out += '"';
}

std::string TableJson(const CsfTable& table)
{
    std::string out = "{\"version\": " + std::to_string(table.version) + ", \"language\": "
                      + std::to_string(table.language) + ", \"labels\": [";
    for (size_t i = 0; i < table.labels.size(); ++i) {
        const CsfLabel& label = table.labels[i];
        out += i ? ",\n  {\"name\": " : "\n  {\"name\": ";
        AppendJsonString(out, label.name);
        out += ", \"strings\": [";
        for (size_t s = 0; s < label.strings.size(); ++s) {
            out += s ? ", {\"value\": " : "{\"value\": ";
            AppendJsonUtf16(out, label.strings[s].value);
            out += ", \"extra\": ";
            if (label.strings[s].extra)
                AppendJsonString(out, *label.strings[s].extra);
            else
                out += "null";
            out += '}';
        }
        out += "]}";
    }
    out += table.labels.empty() ? "]}\n" : "\n]}\n";
    return out;
}

std::string_view LanguageName(std::uint32_t language)
{
    static constexpr std::string_view Names[] = {"US English", "UK English", "German", "French", "Spanish",
                                                 "Italian", "Japanese", "Jabberwockie", "Korean", "Chinese"};
    return language < std::size(Names) ? Names[language] : "unknown";
}

std::string Summary(const CsfTable& table)
{
    return "version " + std::to_string(table.version) + ", language " + std::to_string(table.language) + " ("
           + std::string(LanguageName(table.language)) + "), " + std::to_string(table.labels.size()) + " labels, "
           + std::to_string(table.StringCount()) + " strings\n";
}

/// Reads the entry's bytes as a CSF table, reporting damage. ExitOk; ExitProblems when the table
/// or the archive is damaged (what could be read is in `read`); ExitFailure when nothing could.
int ReadTable(ToolContext& context, ToolArchive& archive, int index, CsfReadResult& read)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    const std::string& name = archive.Archive().GetEntryName(index);
    const int status = archive.ReadEntryBytes(index, bytes, error);
    if (status != ExitOk) {
        context.Report(archive.ShownName(), "entry \"" + name + "\" not read: " + error);
        return status;
    }
    read = ReadCsf(bytes);
    for (const auto& note : read.notes)
        context.Report(archive.ShownName() + ": " + name, note);
    if (read.complete)
        return ExitOk;
    context.Report(archive.ShownName() + ": " + name,
                   read.problem + " (reading stopped at byte " + std::to_string(read.stoppedAt) + ")");
    return read.stoppedAt == 0 ? ExitFailure : ExitProblems;
}

std::optional<StringTableFormat> ChosenFormat(ToolContext& context, const Arguments& args)
{
    if (const auto format = args.Value("format")) {
        if (auto chosen = StringTableFormatForName("." + *format))
            return chosen;
        context.Report("--format", "takes str, csv or po, not \"" + *format + "\"");
        return std::nullopt;
    }
    const auto output = args.Value("output");
    if (!output)
        return StringTableFormat::Str;
    const auto chosen = StringTableFormatForName(*output);
    if (!chosen)
        context.Report(*output, "the name must end in .str, .csv or .po (or give --format)");
    return chosen;
}

/// Opens the archive for reading and reads the entry's table: ExitOk, ExitProblems (a damaged
/// archive or table, what could be read is in `read`) or ExitFailure, each reported.
int ReadTableEntry(ToolContext& context, const std::string& archiveArgument, const std::string& entry, CsfReadResult& read)
{
    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = archive.OpenForEntry(archiveArgument, entry, opened);
    if (index < 0)
        return ExitFailure;
    const int status = ReadTable(context, archive, index, read);
    return status == ExitFailure ? status : std::max(opened, status);
}

int RunShow(ToolContext& context, const Arguments& args)
{
    CsfReadResult read;
    const int status = ReadTableEntry(context, args.positional[0], args.positional[1], read);
    if (status != ExitFailure)
        context.out << (args.Has("json") ? TableJson(read.table) : Summary(read.table));
    return status;
}

int RunExport(ToolContext& context, const Arguments& args)
{
    const auto format = ChosenFormat(context, args);
    if (!format)
        return ExitFailure;
    CsfReadResult read;
    const int status = ReadTableEntry(context, args.positional[1], args.positional[2], read);
    if (status == ExitFailure)
        return status;
    const std::string text = WriteStringTableText(read.table, *format);
    if (const auto output = args.Value("output")) {
        std::string error;
        if (!WriteWholeFileAtomically(context.Resolve(*output), text.data(), text.size(), true, error)) {
            context.Report(*output, "not written: " + error);
            return ExitFailure;
        }
    } else {
        context.out << text;
    }
    return status;
}

/// The labels of a text form, or of a binary table (merging one string table into another).
std::optional<CsfTable> ReadImportFile(ToolContext& context, const std::string& argument)
{
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(context.Resolve(argument), bytes, &error)) {
        context.Report(argument, "not read: " + error);
        return std::nullopt;
    }
    const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (LooksLikeCsf(raw)) {
        CsfReadResult read = ReadCsf(raw);
        if (read.complete)
            return std::move(read.table);
        context.Report(argument, read.problem + " (at byte " + std::to_string(read.stoppedAt) + ")");
        return std::nullopt;
    }
    const auto format = StringTableFormatForName(argument);
    if (!format) {
        context.Report(argument, "the name must end in .str, .csv or .po, or the file be a CSF table");
        return std::nullopt;
    }
    TextTableResult read = ReadStringTableText(bytes, *format);
    if (read.ok)
        return std::move(read.table);
    context.Report(argument + ":" + std::to_string(read.line), read.problem);
    return std::nullopt;
}

int RunImport(ToolContext& context, const Arguments& args)
{
    const auto incoming = ReadImportFile(context, args.positional[3]);
    if (!incoming)
        return ExitFailure;
    ToolArchive archive(context);
    if (archive.Open(args.positional[1], ArchiveUse::Change) != ExitOk)
        return ExitFailure;
    const std::string entryName = EntryNameWithBackslashes(args.positional[2]);
    int index = archive.Archive().FindEntry(entryName);
    CsfTable table;
    if (index >= 0) {
        CsfReadResult read;
        if (ReadTable(context, archive, index, read) != ExitOk || !read.notes.empty()) {
            // Writing back what could be read would silently drop the rest of the table.
            context.Report(archive.ShownName(), "not changed: the table in \"" + entryName + "\" is damaged");
            return ExitFailure;
        }
        table = std::move(read.table);
    }
    const CsfImportCounts counts = ImportLabels(table, *incoming,
                                                args.Has("replace") ? CsfImportMode::Replace : CsfImportMode::Merge);
    std::vector<std::uint8_t> bytes = WriteCsf(table);
    const bool stored = index >= 0 ? archive.Archive().SetEntryData(index, bytes.data(), static_cast<std::int64_t>(bytes.size())) != 0
                                   : archive.Archive().AddEntryBytes(entryName, std::move(bytes)) != 0;
    if (!stored) {
        context.Report(archive.ShownName(), "entry \"" + entryName + "\" not changed: " + archive.Archive().LastError());
        return ExitFailure;
    }
    const int saved = archive.Save(args.Has("in-place") && index >= 0);
    if (saved == ExitOk && !context.quiet)
        context.err << entryName << ": " << counts.replaced << " labels replaced, " << counts.added << " added, "
                    << counts.removed << " removed\n";
    return saved;
}

/// `find ARCHIVE... LABEL`: the archives are searched in the order given, as the editor searches
/// the current archive before the other open ones.
int RunFind(ToolContext& context, const Arguments& args)
{
    const std::string& label = args.positional.back();
    std::vector<std::unique_ptr<ToolArchive>> opened;
    std::vector<CBIGFile*> archives;
    for (size_t i = 1; i + 1 < args.positional.size(); ++i) {
        auto archive = std::make_unique<ToolArchive>(context);
        if (archive->Open(args.positional[i], ArchiveUse::Read) == ExitFailure)
            return ExitFailure;
        archives.push_back(&archive->Archive());
        opened.push_back(std::move(archive));
    }
    const std::optional<LabelLocation> found = FindLabelInArchives(archives, label);
    if (!found) {
        context.Report(label, "no string table in the archives holds this label");
        return ExitProblems;
    }
    std::string prefix = found->entryName + ": " + Utf8FromLatin1(found->label.name) + " = ";
    if (opened.size() > 1)
        prefix = opened[found->archive]->ShownName() + ": " + prefix;
    if (found->label.strings.empty())
        context.out << prefix << "(no strings)\n";
    for (const CsfString& string : found->label.strings) {
        std::string line = prefix;
        AppendQuoted(line, Utf8FromUtf16(string.value));
        context.out << line << '\n';
    }
    return ExitOk;
}

} // namespace

const CommandDetails CsfDetails = {
    "[--json] ARCHIVE ENTRY\n"
    "    kestrel-big csf export [-o FILE.str|FILE.csv|FILE.po] [--format str|csv|po] ARCHIVE ENTRY\n"
    "    kestrel-big csf import [--replace] [--in-place] ARCHIVE ENTRY FILE\n"
    "    kestrel-big csf find ARCHIVE... LABEL",
    Options,
    2,
    Unlimited,
    R"(DESCRIPTION
    Reads the entry named ENTRY as a CSF string table, the games' binary form of every
    unit name, tooltip and mission line: labels such as OBJECT:Humvee, each with one or
    more strings (a UTF-16 value and, for some, an 8-bit extra value, usually a sound).
    Without an action it prints the table's version, language and size; a damaged table
    is read up to the damage, which is reported with the byte where reading stopped.

    export writes the table as text, UTF-8 encoded, in one of three forms:
      .str  the games' own text form: the label on a line, each string quoted on the next
            ("\n", "\t", "\"", "\\" escaped), EXTRA "..." after a string with an extra
            value, then END.
      .csv  rows of label,value,extra for spreadsheets; one row per string, a row without
            an extra cell is a string without an extra value.
      .po   one gettext message per string: the label as msgctxt, the value as msgid and an
            empty msgstr for the translator.
    Without -o the text goes to standard output.

    import reads FILE (.str, .csv, .po, or another CSF table) and takes its labels into
    the table: labels of the same name (ignoring the case of A-Z) get FILE's strings, new
    labels are added at the end, the others stay. With --replace the table holds exactly
    FILE's labels. The table's version and language are kept. An entry ENTRY that does not
    exist is created (version 3, language 0). A damaged table is not changed: writing it
    back would drop what could not be read. Exporting and importing an unchanged table
    gives the same bytes.

    find looks for LABEL in every CSF entry of the archives, the archives in the order
    given and each archive's entries in table order, comparing labels as the games do
    (ignoring the case of A-Z), and prints the first table holding it: one line
    ENTRY: LABEL = "value" per string, the value UTF-8 and escaped as in .str (the
    archive is named first when several are given). This is the editor's Go to Label.

OPTIONS
    --json          Print {"version", "language", "labels": [{"name", "strings":
                    [{"value", "extra"}]}]}, one label per line; "extra" is null for a
                    string without an extra value.
    -o, --output FILE
                    Write the export to FILE (atomically); its extension picks the form.
    --format FORM   str, csv or po, whatever FILE is called.
    --replace       Import replaces all labels instead of merging.
    --in-place      Import writes with the editor's Quick Save instead of a whole save.

EXIT STATUS
    0 done; 1 the table is damaged (what could be read is printed or exported), or find
    found the label in no table; 2 no such entry, not a string table, a FILE with errors
    (file:line is named), or a file could not be read or written.

EXAMPLES
    kestrel-big csf --json English.big data/english/generals.csf
    kestrel-big csf export -o generals.po English.big data/english/generals.csf
    kestrel-big csf import English.big data/english/generals.csf generals.po
    kestrel-big csf find MyMod.big English.big OBJECT:Humvee
)",
    false,
    true,
};

int RunCsf(ToolContext& context, const Arguments& args)
{
    const std::string& first = args.positional[0];
    const size_t count = args.positional.size();
    if (first == "export" && count == 3)
        return RunExport(context, args);
    if (first == "import" && count == 4)
        return RunImport(context, args);
    if (first == "find" && count >= 3)
        return RunFind(context, args);
    if (first != "export" && first != "import" && first != "find" && count == 2)
        return RunShow(context, args);
    context.Report("csf", "needs ARCHIVE ENTRY, export ARCHIVE ENTRY, import ARCHIVE ENTRY FILE or find ARCHIVE... LABEL");
    return ExitFailure;
}

} // namespace kestrel::cli
