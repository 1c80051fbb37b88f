#include "ToolTestSupport.h"

#include "archive/CBIGFile.h"
#include "support/FakePrompt.h"

#include <algorithm>
#include <sstream>

namespace kestrel::test {

ToolRun RunTool(const std::filesystem::path& folder, std::vector<std::string> args, bool terminal)
{
    std::ostringstream out;
    std::ostringstream err;
    cli::ToolContext context(out, err);
    context.workingFolder = folder;
    context.errIsTerminal = terminal;
    ToolRun run;
    run.status = cli::RunKestrelBig(args, context);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> TreeOf(const std::filesystem::path& folder)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file())
            files.emplace_back(item.path().lexically_relative(folder).generic_string(), ReadFileBytes(item.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> EntryNames(const std::filesystem::path& archive)
{
    FakePrompt prompt;
    CBIGFile big(prompt);
    std::vector<std::string> names;
    if (big.Open(archive)) {
        for (int i = 0; i < big.GetEntryCount(); ++i)
            names.push_back(big.GetEntryName(i));
    }
    return names;
}

std::vector<std::uint8_t> Binary(size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes(size);
    unsigned state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

} // namespace kestrel::test
