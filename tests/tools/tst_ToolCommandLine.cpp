#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace kestrel::test;

TEST(ToolHelp, EveryCommandHasAManualPageAndTheToolListsThemAll)
{
    TempFolder folder;
    const auto tool = RunTool(folder.Path(), {"--help"});
    EXPECT_EQ(tool.status, 0);
    for (const auto& command : kestrel::cli::AllCommands()) {
        EXPECT_NE(tool.out.find("    " + std::string(command.name) + " "), std::string::npos) << command.name;
        const auto page = RunTool(folder.Path(), {std::string(command.name), "--help"});
        EXPECT_EQ(page.status, 0);
        for (const char* section : {"NAME\n", "SYNOPSIS\n", "DESCRIPTION\n", "EXIT STATUS\n", "COMMON OPTIONS\n"})
            EXPECT_NE(page.out.find(section), std::string::npos) << command.name << " lacks " << section;
        EXPECT_EQ(RunTool(folder.Path(), {"help", std::string(command.name)}).out, page.out);
    }
    EXPECT_NE(RunTool(folder.Path(), {"pack", "-h"}).out.find("relative to DIR's\n    parent"), std::string::npos)
        << "pack documents the naming rule";
}

TEST(ToolHelp, UsageErrorsExitTwoWithTheReasonAndTheSynopsis)
{
    TempFolder folder;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "COMMANDS"},
        {{"lsit", "a.big"}, "unknown command \"lsit\""},
        {{"list", "--lnog", "a.big"}, "kestrel-big list: unknown option '--lnog'\nusage: kestrel-big list [-l|--long]"},
        {{"rename", "a.big", "b"}, ""},
        {{"cat", "a.big", "b", "c"}, ""},
    };
    for (const auto& [args, reason] : cases) {
        const auto run = RunTool(folder.Path(), args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
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

TEST(ToolBinary, CatWritesBinaryBytesToAPipeAndStatusesReachTheShell)
{
    TempFolder folder;
    const auto bytes = Binary(200000, 7);
    BigArchiveBuilder().Add("art\\x.dds", bytes).WriteTo(folder / "a.big");
    std::string out;
    EXPECT_EQ(RunBinary("cat '" + (folder / "a.big").string() + "' art/x.dds", out), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), bytes);

    const std::string quietErrors = " 2>'" + (folder / "err.txt").string() + "'";
    EXPECT_EQ(RunBinary("extract -C '" + (folder / "out").string() + "' '" + (folder / "a.big").string() + "'" + quietErrors, out), 0);
    EXPECT_EQ(ReadFileBytes(folder / "err.txt").size(), 0u) << "no progress bar when standard error is a file";
    EXPECT_EQ(ReadFileBytes(folder / "out" / "art" / "x.dds"), bytes);
    EXPECT_EQ(RunBinary("verify '" + (folder / "missing.big").string() + "'" + quietErrors, out), 2);
    EXPECT_EQ(RunBinary("--version", out), 0);
    EXPECT_EQ(out.rfind("kestrel-big ", 0), 0u);
}

#endif
