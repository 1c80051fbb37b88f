#include "Commands.h"
#include "ToolArchive.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"in-place", 0, false},
};

} // namespace

const CommandDetails RemoveDetails = {
    "[--in-place] ARCHIVE ENTRY...",
    Options,
    2,
    Unlimited,
    R"(DESCRIPTION
    Removes every entry that an ENTRY selects. An ENTRY is a name or a pattern (see ENTRY
    FILTERS), so "remove mod.big data/ini" removes everything below data\ini, and all copies
    of a duplicated name go. The order of the remaining entries is kept. The archive is
    written back whole and atomically, as "add" does.

OPTIONS
    --in-place    Write with the editor's Quick Save instead: only the header and the table
                  are rewritten; the removed bytes stay in the file as unused space.

EXIT STATUS
    0 removed; 1 an ENTRY selected nothing (the others are still removed); 2 the archive
    cannot be read or written.
)",
    true,
    true,
};

int RunRemove(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    if (const int opened = archive.Open(args.positional[0], ArchiveUse::Change); opened != ExitOk)
        return opened;
    int status = ExitOk;
    const auto selected = archive.SelectEntries(std::span(args.positional).subspan(1), status);
    if (selected.empty())
        return status;
    // From the back, so the indices still to remove stay valid.
    for (auto index = selected.rbegin(); index != selected.rend(); ++index)
        archive.Archive().DeleteEntry(*index);
    return std::max(status, archive.Save(args.Has("in-place")));
}

} // namespace kestrel::cli
