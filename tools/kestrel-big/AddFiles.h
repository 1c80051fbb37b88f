#pragma once

#include "ToolContext.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {
class CBIGFile;
}

namespace kestrel::cli {

/// A file on disk and the entry name it is added under.
struct FileToAdd
{
    std::filesystem::path path;
    std::string entryName;
    std::uint64_t size = 0;
};

/// How the files named on a command line become entries.
struct NamingRule
{
    /// All names relative to this folder (--base); otherwise a folder's names start with its own
    /// name and a file's name is its path relative to the working folder (an absolute path
    /// loses its root instead).
    std::optional<std::filesystem::path> base;
    /// The one file's name (--as).
    std::optional<std::string> name;
    /// Never collected: the archive being written when it lies inside a folder that is added.
    std::optional<std::filesystem::path> excluded;
    /// --exclude: a pattern without a separator leaves out every file and folder of that name
    /// (".git", "*.bak"); one with a separator is matched against the whole entry name.
    std::vector<std::string> excludePatterns;
};

/// Collects the files below `arguments` (files and folders as given), folders walked in name
/// order so that the same tree always gives the same archive. Skipped files (names over 259
/// characters, links to folders, special files) and unreadable folders are reported; the
/// result is the exit status so far. Kestrel's own temporary files are never collected.
int CollectFiles(const ToolContext& context, const std::vector<std::string>& arguments, const NamingRule& rule,
                 std::vector<FileToAdd>& files);

/// Adds `files` to `archive` (replacing entries of the same name regardless of case), sorting
/// once at the end, with a progress bar labelled `label`. Only the files' places are taken in:
/// their bytes are read when the archive is saved. Files that cannot be opened are reported
/// (ExitFailure); callers then save nothing.
int AddFilesToArchive(const ToolContext& context, CBIGFile& archive, const std::vector<FileToAdd>& files,
                      const char* label);

/// Says that `archive` was left as it was because of the failures reported before; ExitFailure.
int NothingWritten(const ToolContext& context, const std::string& archive);

} // namespace kestrel::cli
