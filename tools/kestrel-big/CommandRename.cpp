#include "Commands.h"
#include "ToolArchive.h"

#include "archive/EntryPaths.h"

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"in-place", 0, false},
};

} // namespace

const CommandDetails RenameDetails = {
    "[--in-place] ARCHIVE OLD NEW",
    Options,
    3,
    3,
    R"(DESCRIPTION
    Gives the entry named OLD (ignoring the case of A-Z; the first of duplicates) the name
    NEW. '/' in either name is read as '\'. As in the editor, the entry keeps its place in
    the table. Unlike the editor, a NEW name that another entry already has is refused:
    the games would see only one of the two. NEW may differ from OLD in case only.
    The archive is written back whole and atomically, as "add" does.

OPTIONS
    --in-place    Write with the editor's Quick Save instead (only the header and the table
                  are rewritten, so renaming is fast even in a large archive).

EXIT STATUS
    0 renamed; 2 no entry OLD, NEW is taken or longer than 259 characters, or the archive
    cannot be read or written.
)",
    false,
    true,
};

int RunRename(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    if (const int opened = archive.Open(args.positional[0], ArchiveUse::Change); opened != ExitOk)
        return opened;
    const int index = archive.FindTypedEntry(args.positional[1]);
    if (index < 0)
        return ExitFailure;
    const std::string newName = EntryNameWithBackslashes(args.positional[2]);
    const int existing = archive.Archive().FindEntry(newName);
    if (existing >= 0 && existing != index) {
        context.Report(archive.ShownName(), "not renamed: an entry named \"" + newName + "\" exists already");
        return ExitFailure;
    }
    if (!archive.Archive().RenameEntry(index, newName)) {
        context.Report(archive.ShownName(), "not renamed to \"" + newName + "\": " + archive.Archive().LastError());
        return ExitFailure;
    }
    return archive.Save(args.Has("in-place"));
}

} // namespace kestrel::cli
