#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel {

// Kestrel writes every file under a temporary name first (".kestrel-PID-XXXXXXXX.tmp" beside the
// target) and renames it when complete. These helpers let a process remove its temporary files
// when it is interrupted, let later runs remove those of processes that died, and keep folder
// walks from mistaking them for the user's files.

/// A new temporary name in `folder` carrying this process's id. Its length does not depend on
/// the target's name, so a target whose name just fits the file system still gets one.
std::filesystem::path NewTemporaryPath(const std::filesystem::path& folder);

/// True for names Kestrel gives its temporary files, including the "NAME.kestrel-XXXXXXXX.tmp"
/// of earlier versions.
bool IsKestrelTemporaryName(std::string_view fileName);

/// Once per folder and process: removes temporary files in `folder` whose name says they belong
/// to a Kestrel process that no longer runs. Files of running processes and names of earlier
/// versions (which carry no process id) are left alone.
void RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

/// Remembers a temporary file so that an interrupting signal removes it; Forget when it has
/// been renamed or removed. Safe against the signal arriving in between.
void RememberTemporaryFile(const std::filesystem::path& path);
void ForgetTemporaryFile(const std::filesystem::path& path);

/// Makes SIGINT, SIGTERM and SIGHUP remove the remembered temporary files before the process
/// ends as the signal would end it. For programs that write files (the command-line tool).
void RemoveTemporaryFilesOnSignals();

} // namespace kestrel
