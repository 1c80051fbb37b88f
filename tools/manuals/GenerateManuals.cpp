// Writes kestrel(1), kestrel-big(1) and kestrel-big's bash completion at build time from the texts
// the programs print for --help and from the tool's command table, so that neither can drift from
// the programs.
//   kestrel-manuals kestrel.1|kestrel-big.1|kestrel-big.bash OUTPUT
#include "BashCompletion.h"
#include "Commands.h"
#include "RoffManual.h"

#include "app/AppManual.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

using namespace kestrel;

std::string ToolManualPage()
{
    std::ostringstream page;
    cli::PrintToolManual(page);
    std::vector<manuals::ManualText> commands;
    for (const auto& command : cli::AllCommands()) {
        std::ostringstream text;
        cli::PrintCommandManual(text, command);
        commands.push_back({"kestrel-big " + std::string(command.name), text.str()});
    }
    return manuals::RoffManualPage("kestrel-big", KESTREL_MANUAL_SOURCE, page.str(), commands, "COMMAND MANUALS");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view what = argc == 3 ? argv[1] : "";
    std::string text;
    if (what == "kestrel.1")
        text = manuals::RoffManualPage("kestrel", KESTREL_MANUAL_SOURCE, KestrelManual);
    else if (what == "kestrel-big.1")
        text = ToolManualPage();
    else if (what == "kestrel-big.bash")
        text = manuals::BashCompletionScript(cli::AllCommands());
    else {
        std::cerr << "usage: kestrel-manuals kestrel.1|kestrel-big.1|kestrel-big.bash OUTPUT\n";
        return 2;
    }
    const std::filesystem::path output = argv[2];
    std::error_code error;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), error);
    std::ofstream file(output, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "kestrel-manuals: " << output.string() << ": cannot write\n";
        return 1;
    }
    return 0;
}
