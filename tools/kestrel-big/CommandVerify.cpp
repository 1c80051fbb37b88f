#include "Commands.h"

#include "archive/ArchiveCheck.h"

namespace kestrel::cli {

const CommandDetails VerifyDetails = {
    "ARCHIVE...",
    {},
    1,
    Unlimited,
    R"(DESCRIPTION
    Reads each archive's header and table, independently of what the editor would accept,
    and prints one line per problem on standard output ("ARCHIVE: problem"), then a
    summary line. Entries are numbered from 1 in table order. It reports:
      - an unknown magic (neither BIGF nor BIG4),
      - a table that ends before the entry count of the header (a truncated archive),
      - entries whose bytes lie outside the file or inside the header and table,
      - entries whose bytes overlap,
      - duplicate names (ignoring the case of A-Z), saying which copy the games use: the
        last one in the table,
      - names longer than 259 characters (the games and the editor hold at most 259),
      - header fields that disagree with the table: the last header byte (offset 12)
        beyond the first entry's data or inside the table, and an archive size (offset 4)
        that is neither the file's length nor the data start plus all entry sizes.
    The file is only read, never changed.

EXIT STATUS
    0 no problems; 1 problems were found (each printed); 2 an archive cannot be read or a
    usage error.

EXAMPLES
    kestrel-big verify mod.big && echo "mod.big is sound"
)",
};

int RunVerify(ToolContext& context, const Arguments& args)
{
    int status = ExitOk;
    for (const auto& argument : args.positional) {
        std::string error;
        const auto report = CheckArchive(context.Resolve(argument), &error);
        if (!report) {
            context.Report(argument, "cannot read: " + error);
            status = ExitFailure;
            continue;
        }
        for (const auto& problem : report->problems)
            context.out << argument << ": " << problem << '\n';
        const size_t count = report->problems.size();
        context.out << argument << ": "
                    << (count == 0 ? std::string("no problems")
                                   : std::to_string(count) + (count == 1 ? " problem" : " problems"))
                    << " in " << report->entries.size() << " entries\n";
        if (count > 0 && status == ExitOk)
            status = ExitProblems;
    }
    return status;
}

} // namespace kestrel::cli
