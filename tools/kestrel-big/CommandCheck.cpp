#include "AddFiles.h"
#include "CliPrompt.h"
#include "Commands.h"
#include "GameConfiguration.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include "archive/EntryGlob.h"
#include "ini/CIniBlock.h"
#include "ini/IniWorkspace.h"
#include "w3d/GameIniArchive.h"

#include "base/File.h"

#include <algorithm>
#include <memory>
#include <set>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

const OptionSpec Options[] = {
    {"game", 'g', true},
    {"game-folder", 0, true},
    {"json", 0, false},
    {"config", 0, true},
};

/// What was read from SOURCE: which entries are checked, and how problems name them.
struct Source
{
    bool folder = false;
    std::string shown;
    std::set<std::string> checked;
    int status = ExitOk;

    /// A folder's files are named by their path, so that editors can open them from the output.
    std::string ShownEntry(const std::string& entry) const
    {
        if (!folder)
            return entry;
        std::string path = shown;
        if (!path.ends_with('/') && !path.ends_with('\\'))
            path += '/';
        for (const char c : entry)
            path += c == '\\' ? '/' : c;
        return path;
    }
};

/// Adds the INI entries `filter` selects as checked ones, and the rest for their definitions.
void TakeEntry(IniWorkspace& workspace, Source& source, EntryFilter& filter, const std::string& name,
               const std::string& text)
{
    const bool checked = filter.Selects(name);
    workspace.SetEntry(name, text, checked);
    if (checked)
        source.checked.insert(name);
}

int LoadFolder(ToolContext& context, const std::string& argument, EntryFilter& filter, IniWorkspace& workspace,
               Source& source)
{
    NamingRule rule;
    rule.base = context.Resolve(argument);
    std::vector<FileToAdd> files;
    int status = CollectFiles(context, {argument}, rule, files);
    for (const FileToAdd& file : files) {
        if (!IsIniEntryName(file.entryName))
            continue;
        std::string text;
        std::string error;
        if (!ReadWholeFile(file.path, text, &error)) {
            context.Report(file.path.string(), error);
            status = ExitFailure;
            continue;
        }
        TakeEntry(workspace, source, filter, file.entryName, text);
    }
    return status;
}

int LoadArchive(ToolArchive& archive, EntryFilter& filter, IniWorkspace& workspace, Source& source)
{
    int status = ExitOk;
    for (int i = 0; i < archive.Archive().GetEntryCount(); ++i) {
        const std::string& name = archive.Archive().GetEntryName(i);
        if (!IsIniEntryName(name))
            continue;
        std::string text;
        if (archive.ReadEntryText(i, text) != ExitOk) {
            status = ExitFailure;
            continue;
        }
        TakeEntry(workspace, source, filter, name, text);
    }
    return status;
}

std::string ProblemsText(const std::vector<IniProblem>& problems, const Source& source, bool json)
{
    std::string out;
    if (json) {
        out += "{\"problems\": [";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const IniProblem& problem = problems[i];
            out += i ? ", {\"entry\": " : "{\"entry\": ";
            AppendJsonString(out, source.ShownEntry(problem.entry));
            out += ", \"line\": " + std::to_string(problem.line) + ", \"kind\": \"";
            out += std::string(ProblemKindName(problem.kind)) + "\", \"severity\": \"";
            out += std::string(SeverityName(problem.severity)) + "\", \"message\": ";
            AppendJsonString(out, problem.message);
            out += "}";
        }
        return out + "]}\n";
    }
    for (const IniProblem& problem : problems) {
        out += source.ShownEntry(problem.entry) + ":" + std::to_string(problem.line) + ": ";
        out += std::string(ProblemKindName(problem.kind)) + ": " + problem.message + "\n";
    }
    return out;
}

} // namespace

const CommandDetails CheckDetails = {
    "[--game generals|zerohour|bfme] [--game-folder DIR] [--config FILE] [--json] SOURCE [ENTRY...]",
    Options,
    1,
    Unlimited,
    R"(DESCRIPTION
    Checks the INI texts of SOURCE, an archive or a folder of INI files (a mod's source
    tree), against the game's structure description in kestrel.ini, and prints one line
    per problem, compiler style:
        ENTRY:LINE: KIND: message
    with lines counted from 1. A folder's files are shown as SOURCE/path, so editors can
    open them. ENTRY patterns (as in "list") choose the entries to check; every INI entry
    of SOURCE still counts for the names it defines. The kinds:
    unknown-block          a block type (or a nested block) the description does not know
    unknown-module         a module class the description does not know for its block
    unknown-key            a key that is not in its block's description
    not-in-list            a word that is not an entry of the value's choice list
    unresolved-reference   a name that no block of the described type (Folder::Type)
                           defines in SOURCE or the game's "ini.big" (names of a type
                           defined nowhere at all are not checked)
    duplicate-module-tag   a module tag used twice in one object
    duplicate-object       a name defined twice; reported at the definition the game
                           loads later, which is the one it keeps
    unterminated-block     a block with no "End" before the end of its text
    stray-end              an "End" line where no block is open
    unknown-block, unknown-module, duplicate-module-tag, unterminated-block and stray-end
    are errors (the game refuses the file or fails); the others are warnings.

OPTIONS
    -g, --game GAME  Check against GAME (generals, zerohour or bfme). Without it a BIG4
                     archive is checked as bfme, any other archive or folder as zerohour.
    --game-folder DIR
                     The game's installation folder: the INI entries of its "ini.big"
                     (any letter case) define names too, except those SOURCE replaces
                     with an entry of the same name.
    --config FILE    Read the structure description from FILE instead of kestrel.ini
                     beside the program.
    --json           Print {"problems": [{"entry", "line", "kind", "severity",
                     "message"}]} instead, texts read as Latin-1 and written as UTF-8.

EXIT STATUS
    0 no problem of severity error (warnings may have been printed); 1 at least one
    error; 2 SOURCE, an entry of it, DIR's "ini.big" or the configuration cannot be read,
    an ENTRY pattern selects nothing, or a bad option.

EXAMPLES
    kestrel-big check --game zerohour --game-folder ~/Games/ZeroHour MyMod.big
    kestrel-big check --json MyModSource/ 'data/ini/object/**'
)",
};

int RunCheck(ToolContext& context, const Arguments& args)
{
    CliPrompt prompt(context);
    const std::string& argument = args.positional[0];
    Source source;
    source.shown = argument;
    std::error_code error;
    source.folder = fs::is_directory(context.Resolve(argument), error);
    ToolArchive archive(context);
    if (!source.folder && archive.Open(argument, ArchiveUse::Read) == ExitFailure)
        return ExitFailure;

    Arguments withGame = args;
    if (!args.Has("game"))
        withGame.Set("game", !source.folder && archive.Archive().GetFormat() == BIGFormat_BIG4 ? "bfme" : "zerohour");
    std::unique_ptr<CIniBlock> configuration;
    const CIniBlock* gameBlock = nullptr;
    if (!FindGameConfiguration(context, withGame, prompt, configuration, gameBlock))
        return ExitFailure;

    IniWorkspace workspace(gameBlock);
    EntryFilter filter(std::vector<std::string>(args.positional.begin() + 1, args.positional.end()));
    int status = source.folder ? LoadFolder(context, argument, filter, workspace, source)
                               : LoadArchive(archive, filter, workspace, source);
    for (const std::string& unused : filter.UnusedPatterns()) {
        context.Report(unused, "no INI entry matches");
        status = ExitFailure;
    }
    if (const auto folder = args.Value("game-folder")) {
        const auto gameIni = FindGameIniArchive(context.Resolve(*folder).string());
        if (!gameIni || !AddGameIniDefinitions(workspace, *gameIni)) {
            context.Report(*folder, "no readable ini.big in this folder");
            return ExitFailure;
        }
    }

    const std::vector<IniProblem> problems = workspace.CheckAll();
    context.out << ProblemsText(problems, source, args.Has("json"));
    const auto errors = std::count_if(problems.begin(), problems.end(),
                                      [](const IniProblem& p) { return p.severity == IniSeverity::Error; });
    if (!context.quiet && !args.Has("json"))
        context.err << source.checked.size() << " INI entries checked: " << errors << " errors, "
                    << problems.size() - static_cast<std::size_t>(errors) << " warnings\n";
    if (status == ExitFailure)
        return ExitFailure;
    return errors > 0 ? ExitProblems : ExitOk;
}

} // namespace kestrel::cli
