#include "Commands.h"

#include "base/BuildInfo.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <vector>

namespace kestrel::cli {
namespace {

// The one list of commands. To add a command `foo`:
//   1. write CommandFoo.cpp defining RunFoo and FooDetails (CommandCat.cpp is the smallest
//      example; ToolArchive opens archives and reports failures for you),
//   2. add KESTREL_BIG_COMMAND(Foo) to Commands.h and CommandFoo.cpp to CMakeLists.txt,
//   3. add its line here. Help, option parsing, --quiet/--strict and exit statuses come with it.
const Command Commands[] = {
    {"list", "print the entries of an archive", RunList, ListDetails},
    {"info", "print the header and totals of an archive", RunInfo, InfoDetails},
    {"verify", "check an archive's table for damage and oddities", RunVerify, VerifyDetails},
    {"extract", "write entries to files", RunExtract, ExtractDetails},
    {"cat", "write one entry's bytes to standard output", RunCat, CatDetails},
    {"grep", "print the lines of entries that hold a text or expression", RunGrep, GrepDetails},
    {"add", "add or replace entries from files and folders", RunAdd, AddDetails},
    {"remove", "remove entries", RunRemove, RemoveDetails},
    {"rename", "rename an entry", RunRename, RenameDetails},
    {"pack", "make a new archive from a folder", RunPack, PackDetails},
    {"compact", "give back the unused bytes in-place saves leave", RunCompact, CompactDetails},
    {"diff", "compare two archives or folders entry by entry", RunDiff, DiffDetails},
    {"ini", "print the block tree of an INI entry, or what kestrel.ini does not describe", RunIni, IniDetails},
    {"check", "report mistakes in the INI texts of an archive or a mod folder", RunCheck, CheckDetails},
    {"lsp", "serve INI diagnostics, completion and navigation to editors (Language Server Protocol)", RunLsp,
     LspDetails},
    {"convert", "write an image entry, or a WAV entry's waveform, as a PNG file", RunConvert, ConvertDetails},
    {"w3d", "summarise a W3D model: meshes, skeleton, textures and where they are found", RunW3d, W3dDetails},
    {"csf", "print, export or import a CSF string table entry (STR, CSV, PO), or find a label", RunCsf, CsfDetails},
};

// Understood by every command, before or after its name.
const OptionSpec CommonOptions[] = {
    {"help", 'h', false},
    {"quiet", 'q', false},
    {"strict", 0, false},
};

constexpr std::string_view CommonManual = R"(COMMON OPTIONS
    -h, --help   Show this manual.
    -q, --quiet  No progress bar. (It is drawn on standard error, and only when that is a
                 terminal.)
    --strict     Refuse files whose first four bytes are neither BIGF nor BIG4. Without it
                 such a file is read as a BIG archive anyway, with a warning, as the editor
                 does when asked.
)";

// Understood by every command that writes archives.
const OptionSpec ChangeOptions[] = {
    {"force", 0, false},
    {"wait", 0, true},
};

constexpr std::string_view ChangeManual = R"(WRITING SAFELY
    While it reads, changes and writes an archive, the command holds a lock on it, which
    other kestrel-big commands and the Kestrel editor's saves respect: a second writer
    waits until the first has finished (up to --wait seconds, then it fails naming the
    program that holds the lock), so no change is lost. Programs that ignore the lock are
    not held back.
    A whole save writes a new file and renames it over the old one. A symbolic link is
    followed: the file it points to is replaced and the link stays. The new file keeps
    the old one's permissions and, where the system allows, its owner and group. Other
    hard links to the old file keep the old content (the tool says so); --in-place, where
    the command has it, changes the one file all its names share.
    A file whose first four bytes are neither BIGF nor BIG4 is refused with exit status 1
    and left untouched, so swapped arguments cannot turn a picture into an archive.
    --force       Change such a file anyway (reading it as a BIG archive).
    --wait SECS   How long to wait for another writer's lock (default 10; 0 fails at once).
)";

constexpr std::string_view FilterManual = R"(ENTRY FILTERS
    A FILTER is a pattern over entry names. It ignores the case of A-Z; '\' separates
    folders and '/' may be typed instead. '*' matches within one folder name, '**' across
    folders, '?' one character, [abc], [a-z] and [!a-z] a character class. A pattern that
    matches a folder selects everything below it: "data\ini" and "data/*" both select
    data\ini\weapon.ini. Quote patterns, so the shell does not expand them. Several filters
    select what any of them selects; a filter that selects nothing is reported (exit 1).
)";

constexpr std::string_view ToolManual = R"(NAME
    kestrel-big - read, check and change BIG archives (C&C Generals, Zero Hour, BFME)

SYNOPSIS
    kestrel-big COMMAND [OPTIONS] ARGUMENTS...
    kestrel-big help [COMMAND]
    kestrel-big --version

DESCRIPTION
    Works on the same archive core as the Kestrel editor, so an archive changed here has the
    bytes the editor would write for the same changes. Archives are recognised by their
    content (the magic BIGF or BIG4), never by the file's extension. --version prints the
    version and the commit the tool was built from.

COMMANDS
)";

constexpr std::string_view ToolManualEnd = R"(
EXIT STATUS
    0  success
    1  the command ran but found problems or skipped entries (each is reported)
    2  usage error, or a file could not be read or written
    Every message names the file and the reason.

Run "kestrel-big COMMAND --help" for a command's manual.
)";

const Command* FindCommand(std::string_view name)
{
    for (const auto& command : Commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int UsageError(ToolContext& context, const Command* command, const std::string& text)
{
    // Written piece by piece: GCC 12 warns falsely about concatenating the temporaries.
    std::ostream& err = context.err;
    err << "kestrel-big";
    if (command)
        err << ' ' << command->name;
    err << ": " << text << '\n';
    if (command)
        err << "usage: kestrel-big " << command->name << ' ' << command->help.synopsis << '\n';
    err << "Try \"kestrel-big ";
    if (command)
        err << command->name << ' ';
    err << "--help\".\n";
    return ExitFailure;
}

int RunCommand(ToolContext& context, const Command& command, std::span<const std::string> args)
{
    std::string error;
    auto parsed = ParseArguments(args, CommandOptions(command), error);
    if (!parsed)
        return UsageError(context, &command, error);
    if (parsed->Has("help")) {
        PrintCommandManual(context.out, command);
        return ExitOk;
    }
    context.quiet = context.quiet || parsed->Has("quiet");
    context.strict = context.strict || parsed->Has("strict");
    context.force = context.force || parsed->Has("force");
    if (const auto wait = parsed->Value("wait")) {
        char* end = nullptr;
        const double seconds = std::strtod(wait->c_str(), &end);
        if (wait->empty() || *end != '\0' || !(seconds >= 0 && seconds <= 86400))
            return UsageError(context, &command, "--wait takes a number of seconds, not \"" + *wait + "\"");
        context.lockWait = std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000));
    }
    const size_t count = parsed->positional.size();
    if (count < command.help.minArguments || count > command.help.maxArguments)
        return UsageError(context, &command, count < command.help.minArguments ? "missing arguments" : "too many arguments");
    context.command = std::string(command.name);
    return command.run(context, *parsed);
}

} // namespace

std::span<const Command> AllCommands()
{
    return Commands;
}

std::span<const OptionSpec> CommonOptionSpecs()
{
    return CommonOptions;
}

std::vector<OptionSpec> CommandOptions(const Command& command)
{
    std::vector<OptionSpec> options(command.help.options.begin(), command.help.options.end());
    options.insert(options.end(), std::begin(CommonOptions), std::end(CommonOptions));
    if (command.help.changesArchives)
        options.insert(options.end(), std::begin(ChangeOptions), std::end(ChangeOptions));
    return options;
}

void PrintToolManual(std::ostream& out)
{
    out << ToolManual;
    for (const auto& command : Commands)
        out << "    " << command.name << std::string(10 - command.name.size(), ' ') << command.summary << '\n';
    out << '\n' << CommonManual << ToolManualEnd;
}

void PrintCommandManual(std::ostream& out, const Command& command)
{
    out << "NAME\n    kestrel-big " << command.name << " - " << command.summary << "\n\nSYNOPSIS\n    kestrel-big "
        << command.name << ' ' << command.help.synopsis << "\n\n"
        << command.help.manual << '\n';
    if (command.help.takesFilters)
        out << FilterManual << '\n';
    if (command.help.changesArchives)
        out << ChangeManual << '\n';
    out << CommonManual;
}

int RunKestrelBig(std::span<const std::string> args, ToolContext& context)
{
    // Common options may come before the command's name.
    std::vector<std::string> rest(args.begin(), args.end());
    const auto name = std::find_if(rest.begin(), rest.end(), [](const std::string& arg) {
        return arg.empty() || arg[0] != '-';
    });
    if (name == rest.end()) {
        if (std::find(rest.begin(), rest.end(), "--version") != rest.end()) {
            context.out << VersionLine("kestrel-big") << '\n';
            return ExitOk;
        }
        const bool asked = std::find_if(rest.begin(), rest.end(), [](const std::string& arg) {
                               return arg == "--help" || arg == "-h";
                           }) != rest.end();
        PrintToolManual(asked ? context.out : context.err);
        return asked ? ExitOk : ExitFailure;
    }
    std::string commandName = *name;
    rest.erase(name);
    if (commandName == "help") {
        if (rest.empty()) {
            PrintToolManual(context.out);
            return ExitOk;
        }
        commandName = rest.front();
        rest = {"--help"};
    }
    const Command* command = FindCommand(commandName);
    if (!command)
        return UsageError(context, nullptr, "unknown command \"" + commandName + "\"");
    try {
        return RunCommand(context, *command, rest);
    } catch (const std::exception& failure) {
        // The standard library reports some file system and memory failures by exceptions; they
        // end the command with a message rather than a crash.
        context.Report(std::string(command->name), std::string("stopped: ") + failure.what());
        return ExitFailure;
    }
}

} // namespace kestrel::cli
