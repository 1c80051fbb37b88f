#include "Commands.h"
#include "ToolArchive.h"

namespace kestrel::cli {

const CommandDetails CompactDetails = {
    "ARCHIVE",
    {},
    1,
    1,
    R"(DESCRIPTION
    Gives back the bytes that no entry uses any more. In-place saves (the editor's Quick
    Save, --in-place here) leave the old bytes of replaced, grown and removed entries in
    the file; "info" shows them as unused bytes. Compact writes the archive anew with its
    entries back to back, in table order and with their names and bytes unchanged, and
    prints the file's size before and after.

    The new archive is written to a temporary file beside the old one and renamed over it
    when complete: an interrupted compact leaves the old archive as it was.

EXIT STATUS
    0 compacted; 2 the archive cannot be read or written, is damaged, or a usage error.

EXAMPLES
    kestrel-big compact mod.big
)",
    false,
    true,
};

int RunCompact(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    if (const int opened = archive.Open(args.positional[0], ArchiveUse::Change); opened != ExitOk)
        return opened;
    const std::uint64_t before = archive.Archive().GetFileLength();
    if (archive.Save(false) != ExitOk)
        return ExitFailure;
    const std::uint64_t after = archive.Archive().GetFileLength();
    context.out << archive.ShownName() << ": " << before << " -> " << after << " bytes, "
                << (before > after ? before - after : 0) << " reclaimed\n";
    return ExitOk;
}

} // namespace kestrel::cli
