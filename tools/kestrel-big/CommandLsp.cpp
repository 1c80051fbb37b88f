#include "CliPrompt.h"
#include "Commands.h"
#include "GameConfiguration.h"
#include "LspServer.h"

#include "ini/CIniBlock.h"
#include "w3d/GameIniArchive.h"

#include <iostream>

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"game", 'g', true},
    {"game-folder", 0, true},
    {"config", 0, true},
};

} // namespace

const CommandDetails LspDetails = {
    "[--game generals|zerohour|bfme] [--game-folder DIR] [--config FILE]",
    Options,
    0,
    0,
    R"(DESCRIPTION
    Serves the Language Server Protocol on standard input and output, for editors with a
    generic language client. The workspace folder the client opens is the mod: its INI
    files define names, and every file opened in the editor is checked as "check" checks
    it, again after each change (problems arrive as diagnostics). It also completes block
    types, module classes, keys, list values and object names; shows a key's description
    on hover; goes from an object name to the block that defines it; and gives the
    outline of blocks. Messages go to standard error only.

OPTIONS
    -g, --game GAME  The game the mod is for: generals, zerohour (the default) or bfme.
    --game-folder DIR
                     The game's installation folder, whose "ini.big" defines names too.
    --config FILE    Read the structure description from FILE instead of kestrel.ini
                     beside the program.

EXIT STATUS
    0 after the client asked the server to shut down; 1 when the input ended or the
    client said "exit" without that; 2 a bad option or an unreadable configuration.

EXAMPLES
    kestrel-big lsp --game zerohour --game-folder ~/Games/ZeroHour
)",
};

int RunLsp(ToolContext& context, const Arguments& args)
{
    CliPrompt prompt(context);
    Arguments withGame = args;
    if (!args.Has("game"))
        withGame.Set("game", "zerohour");
    std::unique_ptr<CIniBlock> configuration;
    const CIniBlock* gameBlock = nullptr;
    if (!FindGameConfiguration(context, withGame, prompt, configuration, gameBlock))
        return ExitFailure;
    std::optional<std::filesystem::path> gameIni;
    if (const auto folder = args.Value("game-folder")) {
        gameIni = FindGameIniArchive(context.Resolve(*folder).string());
        if (!gameIni)
            context.Report(*folder, "no ini.big in this folder; names are taken from the workspace only");
    }
    LspServer server(context.out, gameBlock, gameIni);
    return server.Run(std::cin);
}

} // namespace kestrel::cli
