// Faults that only show between real processes: concurrent writers and interrupting signals.
#include "ToolTestSupport.h"

#include "base/FileLock.h"
#include "base/TemporaryFiles.h"
#include "support/FileText.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;
namespace fs = std::filesystem;

using testing::HasSubstr;

namespace {

std::vector<fs::path> TemporaryFilesIn(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (IsKestrelTemporaryName(item.path().filename().string()))
            found.push_back(item.path());
    return found;
}

} // namespace

using ToolProcesses = ToolTest;

TEST_F(ToolProcesses, TwoWritersAtOnceLoseNoUpdate)
{
    const auto log = folder / "log.txt";
    WriteFileBytes(folder / "a.bin", Binary(400000, 1));
    WriteFileBytes(folder / "b.bin", Binary(300000, 2));
    for (const bool inPlace : {true, false}) {
        for (int round = 0; round < 4; ++round) {
            BigArchiveBuilder().Add("old.txt", "old").WriteTo(folder / "mod.big");
            const char* save = inPlace ? "--in-place" : "--quiet";
            const int pidA = StartTool(folder.Path(), {"add", "mod.big", "a.bin", save}, log);
            const int pidB = StartTool(folder.Path(), {"add", "mod.big", "b.bin", save}, log);
            EXPECT_EQ(WaitForTool(pidA), 0) << ReadFileText(log);
            EXPECT_EQ(WaitForTool(pidB), 0) << ReadFileText(log);
            EXPECT_EQ(Names("mod.big"), (std::vector<std::string>{"a.bin", "b.bin", "old.txt"}))
                << (inPlace ? "in place, " : "whole saves, ") << "round " << round;
            const auto tree = Run({"extract", "mod.big", "-C", "out"});
            ASSERT_EQ(tree.status, 0) << tree.err;
            EXPECT_EQ(Read("out/a.bin"), Binary(400000, 1));
            EXPECT_EQ(Read("out/b.bin"), Binary(300000, 2));
            fs::remove_all(folder / "out");
        }
    }
}

TEST_F(ToolProcesses, AWriterThatCannotGetTheLockFailsNamingItsHolder)
{
    BigArchiveBuilder().Add("old.txt", "old").WriteTo(folder / "mod.big");
    const auto before = Read("mod.big");
    WriteFileBytes(folder / "new.txt", Bytes("new"));
    FileLock editor;
    ASSERT_TRUE(editor.Acquire(folder / "mod.big", std::chrono::milliseconds(0)));
    const int status = WaitForTool(StartTool(folder.Path(), {"add", "--wait", "0.2", "mod.big", "new.txt"}, folder / "log"));
    EXPECT_EQ(status, 2);
    EXPECT_THAT(ReadFileText(folder / "log"), HasSubstr("process " + std::to_string(getpid())));
    EXPECT_EQ(Read("mod.big"), before);
}

TEST_F(ToolProcesses, InterruptedPacksLeaveNoTemporaryFilesAndLaterRunsClearDeadOnes)
{
    const auto part = Binary(32 << 20, 1);
    for (int i = 0; i < 3; ++i)
        WriteFileBytes(folder / "mod" / ("part" + std::to_string(i) + ".bin"), part);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        const int pid = StartTool(folder.Path(), {"pack", "mod", "out/mod.big"}, folder / "log");
        fs::create_directories(folder / "out");
        // Interrupt it while its temporary file exists (or give up once it has finished).
        bool seen = false;
        for (int wait = 0; wait < 20000 && !seen; ++wait) {
            seen = !TemporaryFilesIn(folder / "out").empty();
            if (!seen)
                std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        ASSERT_TRUE(seen) << "the pack never wrote its temporary file";
        kill(pid, signalNumber);
        EXPECT_EQ(WaitForTool(pid), 128 + signalNumber) << "the signal still ends the process";
        EXPECT_TRUE(TemporaryFilesIn(folder.Path()).empty()) << "signal " << signalNumber;
        EXPECT_FALSE(fs::exists(folder / "out" / "mod.big"));
    }

    // kill -9 cannot be caught: the next run in the folder removes what the dead process left,
    // and no run packs Kestrel's temporary files as entries.
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const auto stale = folder / "mod" / (".kestrel-" + std::to_string(dead) + "-0a1b2c3d.tmp");
    fs::remove_all(folder / "mod");
    WriteFileBytes(folder / "mod" / "small.txt", Bytes("small"));
    WriteFileBytes(stale, Bytes("half"));
    WriteFileBytes(folder / "mod" / "small.txt.kestrel-0a1b2c3d.tmp", Bytes("old style"));
    const auto pack = Run({"pack", "mod", "mod/mod.big"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(Names("mod/mod.big"), std::vector<std::string>{"mod\\small.txt"});
    EXPECT_FALSE(fs::exists(stale));
}

#endif
