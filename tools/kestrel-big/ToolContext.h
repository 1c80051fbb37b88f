#pragma once

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>

namespace kestrel::cli {

/// The process's current folder, or empty when it has none any more.
std::filesystem::path CurrentFolder();

/// The exit statuses every command keeps to.
enum ExitStatus : int {
    ExitOk = 0,       ///< done, nothing to report
    ExitProblems = 1, ///< the command ran but found problems or skipped entries
    ExitFailure = 2,  ///< a usage error, or a file that could not be read or written
};

/// What a command works with: its output streams and the options shared by all commands. Tests
/// hand in string streams and call commands directly.
struct ToolContext
{
    ToolContext(std::ostream& output, std::ostream& errors) : out(output), err(errors) {}

    /// Results; binary-safe (cat writes entry bytes here).
    std::ostream& out;
    /// Messages and the progress bar.
    std::ostream& err;
    /// Whether `err` is a terminal: the progress bar is drawn only there.
    bool errIsTerminal = false;
    bool quiet = false;
    bool strict = false;
    /// Change files that do not look like what the command expects (--force).
    bool force = false;
    /// How long a command that changes an archive waits for another writer to finish (--wait).
    std::chrono::milliseconds lockWait{10000};
    /// Relative paths given to commands count from here.
    std::filesystem::path workingFolder = CurrentFolder();
    /// The command being run, for messages.
    std::string command;

    bool ShowsProgress() const { return errIsTerminal && !quiet; }
    /// Writes "kestrel-big COMMAND: SUBJECT: REASON" to `err`.
    void Report(const std::string& subject, const std::string& reason) const;
    /// A path given on the command line, relative to the working folder.
    std::filesystem::path Resolve(const std::string& argument) const;
};

} // namespace kestrel::cli
