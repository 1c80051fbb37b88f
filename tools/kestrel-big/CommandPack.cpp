#include "AddFiles.h"
#include "Commands.h"
#include "ToolArchive.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"format", 'f', true},
    {"base", 0, true},
    {"exclude", 0, true},
};

} // namespace

const CommandDetails PackDetails = {
    "[--format bigf|big4] [--base BASE] [--exclude GLOB]... DIR OUT",
    Options,
    2,
    2,
    R"(DESCRIPTION
    Makes a new archive OUT from every file below the folder DIR, replacing OUT if it
    exists (atomically: OUT is complete or untouched).

    Entry names follow the editor's Add Directory: each file's path relative to DIR's
    parent, with '\' separators, so every name starts with DIR's own name. Packing
    /work/mod/data gives entries such as data\ini\weapon.ini; for names without the
    folder's own name, give --base DIR. The table is sorted by name as the editor sorts
    it (ignoring the case of A-Z; digits, then '\' and '_', before letters).
    Folders are walked in name order and links to folders are not followed, so the same
    tree always gives the same bytes. OUT itself is never packed, even inside DIR, nor
    are Kestrel's own temporary files (".kestrel-*.tmp").

    The files are read while OUT is written, not before, so packing a folder of
    gigabytes needs little memory. A file that changes or disappears in between fails the
    pack, naming the file. An existing OUT that is not a BIG archive is not replaced
    without --force.

OPTIONS
    -f, --format bigf|big4
                The variant: bigf for C&C Generals and Zero Hour (the default), big4 for The
                Battle for Middle-earth.
    --exclude GLOB
                Leave out what GLOB matches (may be repeated); see "add --help".
    --base BASE Name the entries by their paths relative to BASE instead (DIR must lie
                below BASE or be BASE): "pack --base mod mod out.big" names mod/data/x.ini
                data\x.ini.

EXIT STATUS
    0 packed; 1 files were skipped (names over 259 characters, links to folders, special
    files); 2 DIR or a file cannot be read, OUT cannot be written, or a usage error. A
    file that cannot be read fails the whole pack: OUT is then left as it was.

EXAMPLES
    kestrel-big pack mymod/data mymod.big
    kestrel-big pack --format big4 lotr/data lotr.big
    kestrel-big pack --exclude .git --exclude '*.bak' mymod/data mymod.big
)",
    false,
    true,
};

int RunPack(ToolContext& context, const Arguments& args)
{
    const std::string format = args.Value("format").value_or("bigf");
    if (format != "bigf" && format != "big4") {
        context.Report("--format", "must be bigf or big4, not \"" + format + "\"");
        return ExitFailure;
    }
    const std::string& folder = args.positional[0];
    std::error_code error;
    if (!std::filesystem::is_directory(context.Resolve(folder), error)) {
        context.Report(folder, "not packed: not a folder");
        return ExitFailure;
    }
    ToolArchive archive(context);
    if (const int prepared = archive.PrepareTarget(args.positional[1]); prepared != ExitOk)
        return prepared;
    archive.Archive().SetFormat(format == "bigf" ? BIGFormat_BIGF : BIGFormat_BIG4);
    NamingRule rule;
    if (const auto base = args.Value("base"))
        rule.base = context.Resolve(*base);
    rule.excluded = context.Resolve(args.positional[1]);
    rule.excludePatterns = args.Values("exclude");
    std::vector<FileToAdd> files;
    const int status = CollectFiles(context, {folder}, rule, files);
    if (status == ExitFailure || AddFilesToArchive(context, archive.Archive(), files, "pack") != ExitOk)
        return NothingWritten(context, args.positional[1]);
    return std::max(status, archive.SaveTo(args.positional[1]));
}

} // namespace kestrel::cli
