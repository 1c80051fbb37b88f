#pragma once

#include "Commands.h"
#include "samples/BigArchiveBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::test {

// The tool tests make their archives and files with the sample writers.
using namespace kestrel::samples;

/// What one run of the tool printed and returned.
struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs kestrel-big in-process, as if started in `folder`, with `terminal` saying whether
/// standard error is a terminal.
ToolRun RunTool(const std::filesystem::path& folder, std::vector<std::string> args, bool terminal = false);

using FileTree = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;
/// Every regular file below `folder` by its path relative to it ('/' separators), with its bytes.
FileTree TreeOf(const std::filesystem::path& folder);

/// Names in table order, as the archive core reads them.
std::vector<std::string> EntryNames(const std::filesystem::path& archive);

std::vector<std::uint8_t> Binary(size_t size, unsigned seed);

#ifndef _WIN32
/// Starts the real kestrel-big binary in `folder` as a separate process, its standard output
/// and error going to `output` (appended). Returns the process id.
int StartTool(const std::filesystem::path& folder, const std::vector<std::string>& args,
              const std::filesystem::path& output);
/// Waits for a started tool: its exit status, or 128 + the signal that ended it.
int WaitForTool(int pid);
#endif
/// A test with a fresh folder to run kestrel-big in.
class ToolTest : public ::testing::Test
{
protected:
    ToolRun Run(std::vector<std::string> args, bool terminal = false)
    {
        return RunTool(folder.Path(), std::move(args), terminal);
    }
    std::vector<std::string> Names(const std::string& archive) { return EntryNames(folder / archive); }
    std::vector<std::uint8_t> Read(const std::string& file) { return ReadFileBytes(folder / file); }

    TempFolder folder;
};

/// Whether `text` is one JSON object or array with nothing but white space around it.
bool IsValidJson(std::string_view text);

} // namespace kestrel::test
