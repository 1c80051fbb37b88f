#pragma once

#include "CliPrompt.h"
#include "ToolContext.h"

#include "archive/CBIGFile.h"
#include "base/FileLock.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kestrel::cli {

enum class ArchiveUse { Read, Change };

/// An archive opened for one command through the tool's prompt. Every failure is reported (file
/// and reason) where it happens; the results are exit statuses.
class ToolArchive
{
public:
    explicit ToolArchive(ToolContext& context);

    /// Opens `argument` (a path as given on the command line). ExitOk; ExitProblems for a
    /// damaged archive whose readable entries may still be read; ExitFailure when the archive
    /// cannot be used, and always for a damaged or read-only archive that is to be changed
    /// (saving it would drop the entries that could not be read). An archive to be changed is
    /// locked first (held until this object ends), and refused with ExitProblems unless its
    /// magic is BIGF or BIG4 or --force was given.
    int Open(const std::string& argument, ArchiveUse use);
    /// Prepares writing a new archive over `argument`: locks an existing file and refuses one
    /// that is not a BIG archive unless --force was given.
    int PrepareTarget(const std::string& argument);

    CBIGFile& Archive() { return m_archive; }
    const std::string& ShownName() const { return m_shownName; }

    /// Writes the changes back: a whole, atomic save over the archive's own file, or the
    /// in-place save, with a progress bar on a terminal.
    int Save(bool inPlace);
    /// A whole, atomic save to another file (a path as given on the command line).
    int SaveTo(const std::string& argument);

    /// CBIGFile::ReadEntryPieces as an exit status: ExitOk; ExitProblems when the table places
    /// the entry outside the file; ExitFailure when the archive cannot be read or `sink` stopped.
    /// `error` says why (empty when `sink` stopped).
    int ReadEntry(int index, const CBIGFile::PieceSink& sink, std::string& error);

    /// The whole entry's bytes; statuses and `error` as ReadEntry, nothing reported.
    int ReadEntryBytes(int index, std::vector<std::uint8_t>& bytes, std::string& error);

    /// The whole entry as text; a failure is reported, naming the entry. Statuses as ReadEntry.
    int ReadEntryText(int index, std::string& text);

    /// The entries' indices in table order that `patterns` select (all for none); patterns that
    /// select nothing are reported and turn `status` into ExitProblems.
    std::vector<int> SelectEntries(std::span<const std::string> patterns, int& status);

    /// FindEntry for a name typed by a user: as typed, else with '/' read as '\'. Reports a
    /// missing entry.
    int FindTypedEntry(const std::string& typed);

    /// Opens `argument` for reading and finds the entry typed as `entryName`: the entry's index,
    /// or -1 after reporting why not. `opened` receives Open's status (ExitProblems for a damaged
    /// archive whose readable entries may still be read).
    int OpenForEntry(const std::string& argument, const std::string& entryName, int& opened);

private:
    int WriteWithProgress(const std::string& shownName, const std::function<int()>& write);
    int Lock(const std::string& argument, const std::filesystem::path& path);

    ToolContext& m_context;
    CliPrompt m_prompt;
    FileLock m_lock;
    CBIGFile m_archive;
    std::string m_shownName;
};

} // namespace kestrel::cli
