#include "AddFiles.h"
#include "Commands.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include "base/AsciiCase.h"
#include "base/File.h"

#include <map>
#include <memory>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

const OptionSpec Options[] = {
    {"json", 0, false},
};

constexpr size_t CompareChunk = 1 << 20;

/// One entry or file: where its bytes are.
struct Item
{
    std::string name;
    std::uint64_t size = 0;
    fs::path file;
    std::uint64_t offset = 0;
};

/// Everything one side holds, by name with A-Z folded (the games' rule), in name order.
struct Side
{
    std::string shown;
    std::map<std::string, Item> items;
};

int LoadFolder(ToolContext& context, const std::string& argument, Side& side)
{
    NamingRule rule;
    rule.base = context.Resolve(argument);
    std::vector<FileToAdd> files;
    const int status = CollectFiles(context, {argument}, rule, files);
    for (auto& file : files)
        side.items[AsciiLowered(file.entryName)] = {file.entryName, file.size, file.path, 0};
    return status;
}

int LoadArchive(ToolContext& context, const std::string& argument, Side& side)
{
    ToolArchive archive(context);
    const int status = archive.Open(argument, ArchiveUse::Read);
    if (status == ExitFailure)
        return status;
    const CBIGFile& big = archive.Archive();
    // Of entries with the same name the games use the last one in the table.
    for (int i = 0; i < big.GetEntryCount(); ++i) {
        const BIGEntry& entry = *big.GetEntry(i);
        side.items[AsciiLowered(entry.name)] = {entry.name, entry.size, big.GetPath(), entry.storedOffset};
    }
    return status;
}

int Load(ToolContext& context, const std::string& argument, Side& side)
{
    side.shown = argument;
    std::error_code error;
    if (fs::is_directory(context.Resolve(argument), error))
        return LoadFolder(context, argument, side);
    return LoadArchive(context, argument, side);
}

/// Compares the bytes of two items of equal size; nullopt (reported) when one cannot be read.
std::optional<bool> SameBytes(ToolContext& context, const Item& a, const Item& b)
{
    File fileA;
    File fileB;
    std::vector<char> bytesA(static_cast<size_t>(std::min<std::uint64_t>(a.size, CompareChunk)));
    std::vector<char> bytesB(bytesA.size());
    for (std::uint64_t done = 0; done < a.size;) {
        const auto take = static_cast<size_t>(std::min<std::uint64_t>(bytesA.size(), a.size - done));
        for (auto [item, file, bytes] : {std::tuple{&a, &fileA, &bytesA}, std::tuple{&b, &fileB, &bytesB}}) {
            if ((!file->IsOpen() && !file->Open(item->file, File::Mode::ReadOnly)) ||
                !file->ReadAt(item->offset + done, bytes->data(), take)) {
                context.Report(item->file.string(), "cannot read \"" + item->name + "\": " + file->LastError());
                return std::nullopt;
            }
        }
        if (!std::equal(bytesA.begin(), bytesA.begin() + static_cast<std::ptrdiff_t>(take), bytesB.begin()))
            return false;
        done += take;
    }
    return true;
}

struct Differences
{
    std::vector<const Item*> onlyInA;
    std::vector<const Item*> onlyInB;
    std::vector<std::pair<const Item*, const Item*>> differing;

    bool Any() const { return !onlyInA.empty() || !onlyInB.empty() || !differing.empty(); }
};

void PrintText(ToolContext& context, const Side& a, const Side& b, const Differences& found)
{
    for (const Item* item : found.onlyInA)
        context.out << "only in " << a.shown << ": " << item->name << '\n';
    for (const Item* item : found.onlyInB)
        context.out << "only in " << b.shown << ": " << item->name << '\n';
    for (const auto& [itemA, itemB] : found.differing) {
        context.out << "differs: " << itemA->name;
        if (itemA->size != itemB->size)
            context.out << " (" << itemA->size << " and " << itemB->size << " bytes)";
        context.out << '\n';
    }
}

void PrintJson(ToolContext& context, const Differences& found)
{
    std::string out = "{\"onlyInA\": [";
    const auto names = [&](const std::vector<const Item*>& items) {
        for (size_t i = 0; i < items.size(); ++i) {
            out += i ? ", " : "";
            AppendJsonString(out, items[i]->name);
        }
    };
    names(found.onlyInA);
    out += "], \"onlyInB\": [";
    names(found.onlyInB);
    out += "], \"differing\": [";
    for (size_t i = 0; i < found.differing.size(); ++i) {
        const auto& [itemA, itemB] = found.differing[i];
        out += i ? ", {\"name\": " : "{\"name\": ";
        AppendJsonString(out, itemA->name);
        out += ", \"sizeA\": " + std::to_string(itemA->size) + ", \"sizeB\": " + std::to_string(itemB->size) + "}";
    }
    out += "]}\n";
    context.out << out;
}

} // namespace

const CommandDetails DiffDetails = {
    "[--json] A B",
    Options,
    2,
    2,
    R"(DESCRIPTION
    Compares two archives, two folders, or an archive and a folder entry by entry: which
    names only A holds, which only B holds, and which both hold with different bytes
    (compared by size first, then byte by byte). Names are compared ignoring the case of
    A-Z, as the games find them; of entries with the same name the last in the table
    counts, as in the games. A folder's files are named by their paths below the folder
    itself, as "extract -C FOLDER" writes them: "diff mod.big out" after "extract -C out
    mod.big" finds no differences.

    Each difference is one line: "only in A: NAME", "only in B: NAME", "differs: NAME"
    (with both sizes when they differ). Nothing is printed when A and B hold the same.

OPTIONS
    --json      Print one JSON object instead: {"onlyInA": [names], "onlyInB": [names],
                "differing": [{"name", "sizeA", "sizeB"}]}.

EXIT STATUS
    0 no differences; 1 differences were found; 2 A or B cannot be read, or a usage
    error.

EXAMPLES
    kestrel-big diff old.big new.big
    kestrel-big diff --json mod.big mod/ > changes.json
)",
};

int RunDiff(ToolContext& context, const Arguments& args)
{
    Side a;
    Side b;
    if (Load(context, args.positional[0], a) == ExitFailure || Load(context, args.positional[1], b) == ExitFailure)
        return ExitFailure;
    Differences found;
    for (const auto& [key, itemA] : a.items) {
        const auto inB = b.items.find(key);
        if (inB == b.items.end()) {
            found.onlyInA.push_back(&itemA);
            continue;
        }
        const Item& itemB = inB->second;
        if (itemA.size != itemB.size) {
            found.differing.emplace_back(&itemA, &itemB);
            continue;
        }
        const auto same = SameBytes(context, itemA, itemB);
        if (!same)
            return ExitFailure;
        if (!*same)
            found.differing.emplace_back(&itemA, &itemB);
    }
    for (const auto& [key, itemB] : b.items)
        if (!a.items.contains(key))
            found.onlyInB.push_back(&itemB);
    if (args.Has("json"))
        PrintJson(context, found);
    else
        PrintText(context, a, b, found);
    return found.Any() ? ExitProblems : ExitOk;
}

} // namespace kestrel::cli
