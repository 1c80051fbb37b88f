#include "AddFiles.h"
#include "Commands.h"
#include "ToolArchive.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"as", 0, true},
    {"base", 0, true},
    {"in-place", 0, false},
    {"exclude", 0, true},
};

} // namespace

const CommandDetails AddDetails = {
    "[--as NAME | --base DIR] [--exclude GLOB]... [--in-place] ARCHIVE PATH...",
    Options,
    2,
    Unlimited,
    R"(DESCRIPTION
    Adds files and whole folders to an existing archive, the way the editor's Add File and
    Add Directory do: an entry whose name equals a new one (ignoring the case of A-Z) is
    replaced, the new entry keeps the name as formed, and the table is sorted by name.

    Entry names, always with '\' separators:
      - a folder: every file below it, named by its path relative to the folder's parent,
        so names start with the folder's own name ("add mod.big /work/data" adds
        /work/data/ini/x.ini as data\ini\x.ini);
      - a file: its path relative to the current folder ("add mod.big data/ini/x.ini"
        adds data\ini\x.ini); an absolute path loses only its root;
      - with --base DIR: every name is the path relative to DIR;
      - with --as NAME: the one file given is added as NAME.
    Folders are walked in name order; links to folders are not followed. Names longer than
    259 characters do not fit an archive: such files are skipped with a message. Kestrel's
    own temporary files (".kestrel-*.tmp") are never added.

    The files are not read into memory: each is read when the archive is written, so
    adding gigabytes needs little memory. A file that changes or disappears in between
    fails the save, naming the file, and the archive stays as it was.

    The archive is then written back whole: to a temporary file beside it, renamed over it
    when complete, so a failure never leaves a half-written archive. An archive that is
    damaged or read-only is refused.

OPTIONS
    --as NAME     The entry name of the one file given ('/' is read as '\').
    --base DIR    Name the entries by their paths relative to DIR.
    --exclude GLOB
                  Leave out what GLOB matches while walking folders (may be repeated). A
                  GLOB without '/' or '\' is matched against each file's and folder's own
                  name: "--exclude .git --exclude '*.bak'" leaves out every .git folder and
                  every .bak file. A GLOB with a separator is matched against the entry
                  name ("data/ini/test*"). Patterns ignore the case of A-Z.
    --in-place    Write with the editor's Quick Save instead: only the header, the table and
                  the new entries are written, and unchanged entries stay where they are.
                  Faster for large archives, but not atomic, and the file never shrinks.

EXIT STATUS
    0 added; 1 files were skipped; 2 a file could not be read, the archive cannot be
    read or written, or a usage error. All or nothing: when a file or folder cannot be
    read, or a file changes while the archive is written, nothing is added and the
    archive is left as it was.

EXAMPLES
    kestrel-big add mod.big data                      # data\... from ./data
    kestrel-big add mod.big ~/work/w.ini --as data/ini/weapon.ini
    kestrel-big add mod.big --base build build/art/textures
    kestrel-big add mod.big data --exclude .git --exclude '*.bak'
)",
    false,
    true,
};

int RunAdd(ToolContext& context, const Arguments& args)
{
    NamingRule rule;
    rule.name = args.Value("as");
    rule.excludePatterns = args.Values("exclude");
    if (const auto base = args.Value("base"))
        rule.base = context.Resolve(*base);
    if (rule.name && (rule.base || args.positional.size() != 2)) {
        context.Report("--as", "names exactly one file and cannot be combined with --base");
        return ExitFailure;
    }
    ToolArchive archive(context);
    if (const int opened = archive.Open(args.positional[0], ArchiveUse::Change); opened != ExitOk)
        return opened;
    rule.excluded = archive.Archive().GetPath();
    std::vector<FileToAdd> files;
    const std::vector<std::string> paths(args.positional.begin() + 1, args.positional.end());
    const int status = CollectFiles(context, paths, rule, files);
    if (status == ExitFailure || (!files.empty() && AddFilesToArchive(context, archive.Archive(), files, "add") != ExitOk))
        return NothingWritten(context, args.positional[0]);
    if (files.empty())
        return status;
    return std::max(status, archive.Save(args.Has("in-place")));
}

} // namespace kestrel::cli
