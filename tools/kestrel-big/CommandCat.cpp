#include "Commands.h"
#include "ToolArchive.h"

#include <algorithm>

namespace kestrel::cli {

const CommandDetails CatDetails = {
    "ARCHIVE ENTRY",
    {},
    2,
    2,
    R"(DESCRIPTION
    Writes the bytes of the entry named ENTRY to standard output, unchanged. The name is
    compared ignoring the case of A-Z; '/' may be typed for '\'. Of several entries with the
    same name, the first in the table is written, as the editor shows it ("verify" lists
    duplicates).

EXIT STATUS
    0 written; 1 the entry's bytes lie outside the file, or the archive is damaged; 2 no such entry, or the archive or
    standard output failed.

EXAMPLES
    kestrel-big cat INI.big data/ini/weapon.ini | grep -n Damage
)",
};

int RunCat(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = archive.OpenForEntry(args.positional[0], args.positional[1], opened);
    if (index < 0)
        return ExitFailure;
    std::string error;
    const int status = archive.ReadEntry(index, [&](std::span<const std::uint8_t> bytes) {
        context.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return context.out.good();
    }, error);
    context.out.flush();
    if (!context.out) {
        context.Report("standard output", "cannot write");
        return ExitFailure;
    }
    if (status != ExitOk)
        context.Report(archive.ShownName(), "entry \"" + args.positional[1] + "\" not written: " + error);
    return std::max(opened, status);
}

} // namespace kestrel::cli
