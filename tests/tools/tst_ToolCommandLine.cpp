#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace kestrel::test;
using testing::HasSubstr;

using ToolHelp = ToolTest;
using ToolBinary = ToolTest;

TEST_F(ToolHelp, EveryCommandHasAManualPageAndTheToolListsThemAll)
{
    const auto tool = Run({"--help"});
    EXPECT_EQ(tool.status, 0);
    for (const auto& command : kestrel::cli::AllCommands()) {
        EXPECT_THAT(tool.out, HasSubstr("    " + std::string(command.name) + " "));
        const auto page = Run({std::string(command.name), "--help"});
        EXPECT_EQ(page.status, 0);
        EXPECT_THAT(page.out, HasSubstr("SYNOPSIS\n")) << command.name;
        EXPECT_EQ(Run({"help", std::string(command.name)}).out, page.out);
    }
}

TEST_F(ToolHelp, UsageErrorsExitTwoWithTheReasonAndTheSynopsis)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "COMMANDS"},
        {{"lsit", "a.big"}, "unknown command \"lsit\""},
        {{"list", "--lnog", "a.big"}, "kestrel-big list: unknown option '--lnog'\nusage: kestrel-big list [-l|--long]"},
        {{"rename", "a.big", "b"}, ""},
    };
    for (const auto& [args, reason] : cases) {
        const auto run = Run(args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
        EXPECT_THAT(run.err, HasSubstr(reason));
    }
}

#ifndef _WIN32

namespace {

/// Runs the real binary through the shell; returns its exit status and standard output.
int RunBinary(const std::string& arguments, std::string& out)
{
    const std::string command = std::string("'") + KESTREL_BIG_PATH + "' " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    size_t got = 0;
    out.clear();
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(ToolBinary, CatWritesBinaryBytesToAPipeAndStatusesReachTheShell)
{
    const auto bytes = Binary(200000, 7);
    BigArchiveBuilder().Add("art\\x.dds", bytes).WriteTo(folder / "a.big");
    std::string out;
    EXPECT_EQ(RunBinary("cat '" + (folder / "a.big").string() + "' art/x.dds", out), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), bytes);

    const std::string quietErrors = " 2>'" + (folder / "err.txt").string() + "'";
    EXPECT_EQ(RunBinary("extract -C '" + (folder / "out").string() + "' '" + (folder / "a.big").string() + "'" + quietErrors, out), 0);
    EXPECT_EQ(Read("err.txt").size(), 0u) << "no progress bar when standard error is a file";
    EXPECT_EQ(Read("out/art/x.dds"), bytes);
    EXPECT_EQ(RunBinary("verify '" + (folder / "missing.big").string() + "'" + quietErrors, out), 2);
    EXPECT_EQ(RunBinary("--version", out), 0);
    EXPECT_EQ(out.rfind("kestrel-big ", 0), 0u);
}

#endif
