#pragma once

#include "Arguments.h"
#include "ToolContext.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

/// What a command file tells about itself; the table in CommandTable.cpp adds name and summary.
struct CommandDetails
{
    /// The arguments after the command name, e.g. "[-l] [--json] ARCHIVE [FILTER...]".
    std::string_view synopsis;
    std::span<const OptionSpec> options;
    size_t minArguments = 0;
    size_t maxArguments = 0;
    /// The manual below NAME and SYNOPSIS: DESCRIPTION, OPTIONS, EXIT STATUS, EXAMPLES.
    std::string_view manual;
    /// Appends the shared section on entry filters to the manual.
    bool takesFilters = false;
    /// The command writes archives: it takes --force and --wait, and its manual says how it
    /// locks the archive.
    bool changesArchives = false;
};

constexpr size_t Unlimited = static_cast<size_t>(-1);

using CommandRun = int (*)(ToolContext&, const Arguments&);

struct Command
{
    std::string_view name;
    std::string_view summary;
    CommandRun run;
    const CommandDetails& help;
};

/// Every command, in the order of the tool's help.
std::span<const Command> AllCommands();

/// The options every command understands, also before its name.
std::span<const OptionSpec> CommonOptionSpecs();

/// Every option `command` understands: its own, the common ones and, for commands that write
/// archives, --force and --wait.
std::vector<OptionSpec> CommandOptions(const Command& command);

/// The texts of `kestrel-big --help` and `kestrel-big COMMAND --help`, also the source of the
/// manual page.
void PrintToolManual(std::ostream& out);
void PrintCommandManual(std::ostream& out, const Command& command);

/// The whole tool: `args` without the program name. Returns the exit status.
int RunKestrelBig(std::span<const std::string> args, ToolContext& context);

// Each command file Command<Name>.cpp defines Run<Name> and <Name>Details.
#define KESTREL_BIG_COMMAND(Name)                               \
    int Run##Name(ToolContext& context, const Arguments& args); \
    extern const CommandDetails Name##Details;

KESTREL_BIG_COMMAND(List)
KESTREL_BIG_COMMAND(Info)
KESTREL_BIG_COMMAND(Verify)
KESTREL_BIG_COMMAND(Extract)
KESTREL_BIG_COMMAND(Cat)
KESTREL_BIG_COMMAND(Grep)
KESTREL_BIG_COMMAND(Add)
KESTREL_BIG_COMMAND(Remove)
KESTREL_BIG_COMMAND(Rename)
KESTREL_BIG_COMMAND(Pack)
KESTREL_BIG_COMMAND(Compact)
KESTREL_BIG_COMMAND(Diff)
KESTREL_BIG_COMMAND(Ini)
KESTREL_BIG_COMMAND(Check)
KESTREL_BIG_COMMAND(Lsp)
KESTREL_BIG_COMMAND(Convert)
KESTREL_BIG_COMMAND(W3d)
KESTREL_BIG_COMMAND(Csf)

#undef KESTREL_BIG_COMMAND

} // namespace kestrel::cli
