#include "base/FileLock.h"
#include "base/TemporaryFiles.h"
#include "samples/BigArchiveBuilder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace kestrel;
using kestrel::samples::TempFolder;
using kestrel::samples::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

/// The id of a process that has ended.
long DeadProcessId()
{
#ifdef _WIN32
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    char command[] = "cmd.exe /c exit 0";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
        return 0;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(process.dwProcessId);
#else
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
#endif
}

long LiveProcessId()
{
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return getppid();
#endif
}

} // namespace

TEST(TemporaryFiles, StaleFilesOfDeadProcessesGoOthersStay)
{
    TempFolder folder;
    const std::string dead = ".kestrel-" + std::to_string(DeadProcessId()) + "-abcdefgh.tmp";
    const std::string alive = ".kestrel-" + std::to_string(LiveProcessId()) + "-abcdefgh.tmp";
    for (const auto& name : {dead, alive, std::string("mod.big.kestrel-0123abcd.tmp"), std::string("notes.tmp")})
        WriteFileBytes(folder / name, {1});
    RemoveStaleTemporaryFiles(folder.Path());
    EXPECT_FALSE(fs::exists(folder / dead));
    EXPECT_TRUE(fs::exists(folder / alive)) << "its process still runs";
    EXPECT_TRUE(fs::exists(folder / "mod.big.kestrel-0123abcd.tmp")) << "an old name cannot prove its process ended";
    EXPECT_TRUE(fs::exists(folder / "notes.tmp"));

    for (const auto& name : {dead, std::string("mod.big.kestrel-0123abcd.tmp"), NewTemporaryPath(folder.Path()).filename().string()})
        EXPECT_TRUE(IsKestrelTemporaryName(name)) << name;
    for (const char* name : {"notes.tmp", ".kestrel-12-abc.tmp", ".kestrel-x-abcdefgh.tmp", "a.kestrel-ABCDEFGH.tmp"})
        EXPECT_FALSE(IsKestrelTemporaryName(name)) << name;
}

TEST(FileLock, ASecondWriterWaitsThenFailsNamingTheHolderAndFollowsAReplacedFile)
{
    TempFolder folder;
    const auto path = folder / "mod.big";
    WriteFileBytes(path, {1});
    FileLock first;
    ASSERT_TRUE(first.Acquire(path, std::chrono::milliseconds(0)));
    FileLock second;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.Acquire(path, std::chrono::milliseconds(150)));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(150));
#ifndef _WIN32 // Windows does not say who holds a byte-range lock
    EXPECT_NE(second.Error().find("process " + std::to_string(getpid())), std::string::npos) << second.Error();
#endif

    // A whole save renames a new file over the locked one: the lock on the old file no longer
    // guards the name, so the next writer locks the new file.
    WriteFileBytes(folder / "new.big", {2});
    fs::rename(folder / "new.big", path);
    EXPECT_TRUE(second.Acquire(path, std::chrono::milliseconds(0))) << second.Error();
    first.Release();

    FileLock none;
    EXPECT_TRUE(none.Acquire(folder / "missing.big", std::chrono::milliseconds(0)));
    EXPECT_FALSE(none.IsHeld());
}
