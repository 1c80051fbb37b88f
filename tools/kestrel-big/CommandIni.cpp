#include "CliPrompt.h"
#include "Commands.h"
#include "GameConfiguration.h"
#include "IniStructure.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include "archive/BIGEntry.h"
#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/IniCoverage.h"
#include "ini/IniObjectCache.h"
#include "ini/IniWorkspace.h"
#include "ini/StructureConfig.h"
#include "ini/StructureMenu.h"
#include "w3d/GameIniArchive.h"

#include <charconv>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"game", 'g', true},
    {"at", 0, true},
    {"json", 0, false},
    {"config", 0, true},
    {"coverage", 0, false},
    {"offer", 0, true},
    {"apply", 0, true},
    {"line", 0, true},
    {"in-place", 0, false},
    {"game-folder", 0, true},
};

/// Deeper blocks are printed at this indentation, so that a text nested a million levels deep
/// does not print terabytes of blanks.
constexpr size_t MaxIndentLevels = 64;

/// Control bytes of names and texts (a raw-text rest spans lines) are shown escaped, so every
/// block and value keeps to one line of output.
void AppendVisible(std::string& out, std::string_view bytes)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (byte < 32 || byte == 127) {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
}

void AppendLines(std::string& out, const CIniBlock& block)
{
    out += " (lines " + std::to_string(block.GetStartLine()) + "-" + std::to_string(block.GetEndLine());
    if (!block.GetEndRest().empty()) {
        out += ", End ";
        AppendVisible(out, block.GetEndRest());
    }
    out += ")";
}

void AppendHeader(std::string& out, const CIniBlock& block)
{
    AppendVisible(out, block.GetName());
    if (!block.GetRest().empty()) {
        out += ' ';
        AppendVisible(out, block.GetRest());
    }
    AppendLines(out, block);
}

void AppendValueText(std::string& out, const std::string& key, const IniValue& value)
{
    AppendVisible(out, key);
    out += " = ";
    AppendVisible(out, value.text);
    out += " (line " + std::to_string(value.line) + ")";
}

void AppendTextBlock(std::string& out, const CIniBlock& block, size_t depth)
{
    const std::string indent(2 * std::min(depth, MaxIndentLevels), ' ');
    out += indent;
    AppendHeader(out, block);
    out += '\n';
    for (const auto& [key, value] : block.Values()) {
        out += indent + "  ";
        AppendValueText(out, key, value);
        out += '\n';
    }
}

void AppendJsonValue(std::string& out, const std::string& key, const IniValue& value)
{
    out += "{\"key\": ";
    AppendJsonString(out, key);
    out += ", \"text\": ";
    AppendJsonString(out, value.text);
    out += ", \"line\": " + std::to_string(value.line) + "}";
}

/// Everything of a block's JSON object up to the opening of its "children" array.
void AppendJsonBlockStart(std::string& out, const CIniBlock& block)
{
    AppendJsonBlockHeader(out, block);
    // Only present when the closing line holds more than "End", which most never do.
    if (!block.GetEndRest().empty()) {
        out += ", \"endRest\": ";
        AppendJsonString(out, block.GetEndRest());
    }
    out += ", \"values\": [";
    bool first = true;
    for (const auto& [key, value] : block.Values()) {
        out += first ? "" : ", ";
        first = false;
        AppendJsonValue(out, key, value);
    }
    out += "], \"children\": [";
}

/// Walks the tree in key order without recursion (a parsed text may nest very deeply), calling
/// `enter` for each block and `leave` after its children.
template <typename Enter, typename Leave>
void WalkTree(const CIniBlock& root, Enter enter, Leave leave)
{
    struct Level
    {
        const CIniBlock* block;
        CIniBlock::ChildMap::const_iterator next;
    };
    std::vector<Level> stack{{&root, root.Children().begin()}};
    enter(root, size_t{0}, true);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.block->Children().end()) {
            leave(*top.block);
            stack.pop_back();
            continue;
        }
        const bool first = top.next == top.block->Children().begin();
        const CIniBlock& child = *(top.next++)->second;
        enter(child, stack.size(), first);
        stack.push_back({&child, child.Children().begin()});
    }
}

std::string TreeText(const CIniBlock& root, bool json)
{
    std::string out;
    if (json) {
        WalkTree(
            root,
            [&](const CIniBlock& block, size_t, bool first) {
                out += first ? "" : ", ";
                AppendJsonBlockStart(out, block);
            },
            [&](const CIniBlock&) { out += "]}"; });
        out += '\n';
        return out;
    }
    // The root has no header of its own: its children are the top-level blocks.
    WalkTree(
        root,
        [&](const CIniBlock& block, size_t depth, bool) {
            if (depth > 0)
                AppendTextBlock(out, block, depth - 1);
        },
        [](const CIniBlock&) {});
    return out;
}

std::string LineText(const CIniBlock& root, std::int32_t line, bool json)
{
    int valueIndex = -1;
    const CIniBlock& block = *root.FindBlockAtLine(line, valueIndex);
    const IniValue* value = block.GetValue(valueIndex);
    std::string out;
    if (json) {
        out += "{\"line\": " + std::to_string(line) + ", \"block\": ";
        AppendJsonBlockHeader(out, block);
        out += "}, \"valueIndex\": ";
        out += std::to_string(valueIndex) + ", \"value\": ";
        if (value)
            AppendJsonValue(out, block.GetValueKey(valueIndex), *value);
        else
            out += "null";
        return out + "}\n";
    }
    out += "line " + std::to_string(line) + ": block ";
    if (block.GetName().empty())
        out += "(top level)";
    else
        AppendHeader(out, block);
    out += "\nvalue " + std::to_string(valueIndex);
    if (value) {
        out += ": ";
        AppendValueText(out, block.GetValueKey(valueIndex), *value);
    }
    return out + '\n';
}

std::string CoverageText(const IniCoverage& coverage, std::string_view game, int entries, bool json)
{
    const std::vector<IniCoverage::Item> items = coverage.Items();
    std::string out;
    if (json) {
        out += "{\"game\": ";
        AppendJsonString(out, game);
        out += ", \"entries\": " + std::to_string(entries) + ", \"unknown\": ";
        out += std::to_string(coverage.UnknownCount()) + ", \"items\": [";
        for (size_t i = 0; i < items.size(); ++i) {
            out += i ? ", " : "";
            out += "{\"kind\": \"" + std::string(IniCoverage::KindName(items[i].kind)) + "\", \"path\": ";
            AppendJsonString(out, items[i].path);
            out += items[i].known ? ", \"known\": true" : ", \"known\": false";
            out += ", \"count\": " + std::to_string(items[i].count) + "}";
        }
        return out + "]}\n";
    }
    for (const IniCoverage::Item& item : items) {
        std::string count = std::to_string(item.count);
        std::string kind(IniCoverage::KindName(item.kind));
        out += item.known ? "known   " : "UNKNOWN ";
        out += std::string(count.size() < 7 ? 7 - count.size() : 0, ' ') + count + "  ";
        out += kind + std::string(kind.size() < 10 ? 10 - kind.size() : 0, ' ');
        AppendVisible(out, item.path);
        out += '\n';
    }
    out += std::string(game) + ": " + std::to_string(entries) + " entries, " + std::to_string(items.size()) +
           " block types, module classes, keys and directives, " + std::to_string(coverage.UnknownCount()) +
           " unknown\n";
    return out;
}

int RunCoverage(ToolContext& context, const Arguments& args, CliPrompt& prompt)
{
    if (args.Has("at")) {
        context.Report("--at", "cannot be combined with --coverage");
        return ExitFailure;
    }
    ToolArchive archive(context);
    int status = archive.Open(args.positional[0], ArchiveUse::Read);
    if (status == ExitFailure)
        return ExitFailure;
    // Without --game the archive's header tells the family of games.
    Arguments withGame = args;
    if (!args.Has("game"))
        withGame.Set("game", archive.Archive().GetFormat() == BIGFormat_BIG4 ? "bfme" : "zerohour");
    std::unique_ptr<CIniBlock> configuration;
    const CIniBlock* game = nullptr;
    if (!FindGameConfiguration(context, withGame, prompt, configuration, game))
        return ExitFailure;

    IniCoverage coverage(game);
    const StructureConfig structure = StructureConfig::FromGameBlock(game);
    int entries = 0;
    const std::vector<std::string> patterns(args.positional.begin() + 1, args.positional.end());
    for (const int index : archive.SelectEntries(patterns, status)) {
        if (!IsIniEntryName(archive.Archive().GetEntryName(index)))
            continue;
        std::string text;
        const int read = archive.ReadEntryText(index, text);
        status = std::max(status, read);
        if (read != ExitOk)
            continue;
        CIniBlock root(structure, &prompt);
        root.ParseText(text);
        coverage.Add(root);
        ++entries;
    }
    context.out << CoverageText(coverage, game->GetName(), entries, args.Has("json"));
    return std::max(status, coverage.UnknownCount() > 0 ? int{ExitProblems} : int{ExitOk});
}

/// A line number given with `option`; false after a reported failure.
bool ReadLineOption(ToolContext& context, const Arguments& args, std::string_view option,
                    std::optional<std::int32_t>& line)
{
    const auto given = args.Value(option);
    if (!given)
        return true;
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), number);
    if (error != std::errc() || end != given->data() + given->size() || number < 0) {
        context.Report(*given, "--" + std::string(option) + " needs a line number");
        return false;
    }
    line = number;
    return true;
}

/// The structure menu as the editor builds it at `line`, with object names from the archive and
/// the game folder's "ini.big".
StructureOffer OfferAt(const Arguments& args, ToolContext& context, const CIniBlock& root, const CIniBlock* gameBlock,
                       CBIGFile& archive, IniObjectCache& cache, std::int32_t line)
{
    std::optional<std::filesystem::path> gameIni;
    if (const auto folder = args.Value("game-folder"))
        gameIni = FindGameIniArchive(context.Resolve(*folder).string());
    return MakeStructureOffer(root, gameBlock, line, MakeObjectNameLookup(archive, gameIni, cache, gameBlock));
}

/// Performs one structure command on the entry's text and saves the archive.
int ApplyAction(ToolContext& context, const Arguments& args, ToolArchive& archive, int index, const std::string& text,
                const StructureOffer& offer)
{
    std::string problem;
    const auto command = CommandForAction(offer, *args.Value("apply"), problem);
    const auto edit = command ? StructureCommandEdit(offer, text, *command) : std::nullopt;
    if (!edit) {
        context.Report(archive.ShownName(), problem.empty() ? "the command changes nothing here" : problem);
        return ExitFailure;
    }
    const std::string edited = ApplyTextEdit(text, *edit);
    if (!archive.Archive().SetEntryData(index, reinterpret_cast<const std::uint8_t*>(edited.data()),
                                        static_cast<std::int64_t>(edited.size()))) {
        context.Report(archive.ShownName(), "entry not changed: " + archive.Archive().LastError());
        return ExitFailure;
    }
    return archive.Save(args.Has("in-place"));
}

} // namespace

const CommandDetails IniDetails = {
    "[--game generals|zerohour|bfme] [--config FILE] [--at LINE | --offer LINE [--game-folder DIR] | "
    "--apply ACTION --line LINE [--game-folder DIR] [--in-place]] [--json] ARCHIVE ENTRY\n"
    "    kestrel-big ini --coverage [--game generals|zerohour|bfme] [--json] ARCHIVE [ENTRY...]",
    Options,
    1,
    Unlimited,
    R"(DESCRIPTION
    Parses the entry named ENTRY as an INI text, as the editor does for its structure menu,
    and prints its block tree: per block its name, the rest of its header line and its line
    range (and the words after its End, when its closing line has any), then its values (key,
    text and line), then its nested blocks. Blocks and values
    are printed in the order of their names (byte order; equal names in text order). Lines
    are counted from 0; a block's range ends at its "End" line, which is not part of it.
    Control characters in names and texts are shown escaped (\n, \r, \t, \xNN).

OPTIONS
    -g, --game GAME  Parse with the structure configuration of GAME (generals, zerohour or
                     bfme) from kestrel.ini beside the program (else in the installed
                     data folder, share/kestrel): module lines, one-line entries, header
                     lists and raw-text areas as that game writes them.
                     Without it the entry is parsed without a structure configuration.
    --config FILE    Read the structure configuration from FILE instead.
    --at LINE        Print only the block that holds line LINE and the index of the value on
                     it (-1 for none), as the editor finds them under the caret.
    --coverage       Instead of a tree, report what the INI entries (ENTRY patterns as in
                     "list", else every .ini and .inc entry) hold that the game's structure
                     description knows: per block type, module class, key and directive, as
                     a path from the top-level block ("Object > Body = ActiveBody >
                     MaxHealth"), whether it is known and how often it occurs. The contents
                     of an unknown block are not listed. Without --game, a BIG4 archive is
                     read as bfme, any other as zerohour.
    --json           Print the tree as nested {"name", "rest", "startLine", "endLine",
                     "values": [{"key", "text", "line"}], "children": [...]} objects (and
                     "endRest" when the closing line holds words after its End), from the
                     top-level object (empty name) down; with --at, one object {"line", "block",
                     "valueIndex", "value"}; with --coverage, one object {"game", "entries",
                     "unknown", "items": [{"kind", "path", "known", "count"}]}. Texts are
                     read as Latin-1 and written as UTF-8.
    --offer LINE     Print, as one JSON object, what the editor's structure menu offers with
                     the caret on line LINE: {"line", "block": {"name", "rest", "startLine",
                     "endLine"} or null outside every block, "valueIndex", "addModule":
                     [names], "addValue": [keys], "setValue": {"kind": "list" or "objects",
                     "choices": [{"text", "checked"}]} or null, "setList": [{"text",
                     "checked"}] or null, "goTo": [labels]}, all in menu order. Object names
                     come from the INI entries of ARCHIVE and of DIR's "ini.big".
    --apply ACTION   Perform one structure menu command with the caret at the start of line
                     LINE (--line) and save the archive, writing exactly the bytes the editor
                     writes. ACTION is add-module:NAME, add-value:KEY, set:CHOICE (an object
                     name or list entry of "Set Value") or set-list:ENTRY ("Set = List").
                     New lines get the line end the entry already uses.
    --line LINE      The caret line of --apply.
    --game-folder DIR
                     The game's installation folder, whose "ini.big" (any letter case) also
                     provides object names.
    --in-place       With --apply: save with the editor's Quick Save instead of a whole,
                     atomic rewrite.

EXIT STATUS
    0 printed or applied; 1 the entry's bytes lie outside the file, or the archive is
    damaged, or (with --coverage) something is unknown or a pattern matched nothing; 2 no
    such entry, the archive or the configuration file cannot be read or written, the menu
    offers no such command at that line, or a bad option.

EXAMPLES
    kestrel-big ini --game zerohour INI.big data/ini/object/americatank.ini
    kestrel-big ini --json --at 120 INI.big data/ini/weapon.ini
    kestrel-big ini --coverage --game zerohour INI.big 'data/ini/object/**'
    kestrel-big ini -g zerohour --offer 12 --json INI.big data/ini/object/americatank.ini
    kestrel-big ini -g zerohour --apply add-value:MaxHealth --line 12 INI.big data/ini/object/americatank.ini
)",
};

int RunIni(ToolContext& context, const Arguments& args)
{
    CliPrompt prompt(context);
    if (args.Has("coverage"))
        return RunCoverage(context, args, prompt);
    if (args.positional.size() != 2) {
        context.Report("ini", "needs ARCHIVE and one ENTRY (several only with --coverage)");
        return ExitFailure;
    }
    std::optional<std::int32_t> line;
    std::optional<std::int32_t> offerLine;
    std::optional<std::int32_t> applyLine;
    if (!ReadLineOption(context, args, "at", line) || !ReadLineOption(context, args, "offer", offerLine)
        || !ReadLineOption(context, args, "line", applyLine))
        return ExitFailure;
    const bool apply = args.Has("apply");
    if (apply && !applyLine) {
        context.Report("--apply", "needs --line LINE");
        return ExitFailure;
    }
    std::unique_ptr<CIniBlock> configuration;
    const CIniBlock* gameBlock = nullptr;
    if (!FindGameConfiguration(context, args, prompt, configuration, gameBlock))
        return ExitFailure;

    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = apply ? archive.Open(args.positional[0], ArchiveUse::Change) == ExitOk
                                  ? archive.FindTypedEntry(args.positional[1])
                                  : -1
                            : archive.OpenForEntry(args.positional[0], args.positional[1], opened);
    if (index < 0)
        return ExitFailure;
    std::string text;
    if (const int status = archive.ReadEntryText(index, text); status != ExitOk)
        return status;

    CIniBlock root(StructureConfig::FromGameBlock(gameBlock), &prompt);
    root.ParseText(text);
    if (offerLine || apply) {
        IniObjectCache cache;
        const StructureOffer offer = OfferAt(args, context, root, gameBlock, archive.Archive(), cache,
                                             apply ? *applyLine : *offerLine);
        if (apply)
            return ApplyAction(context, args, archive, index, text, offer);
        context.out << OfferJson(root, offer);
        return opened;
    }
    context.out << (line ? LineText(root, *line, args.Has("json")) : TreeText(root, args.Has("json")));
    return opened;
}

} // namespace kestrel::cli
