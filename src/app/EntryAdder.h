#pragma once

#include "app/ProblemList.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {

class CQuartoDoc;
class IPrompt;

/// "The name "..." has N characters; ..." for a name longer than an archive holds.
std::string NameTooLongText(const std::string& name);

/// Puts files and empty entries into a document's archive for the archive commands, with the
/// checks they all share. Names an archive cannot hold and files that cannot be read are not
/// added; they are collected and told once, at Finish. The table is sorted once, at Finish, so
/// adding thousands of files costs one sort; the document's selected entry is then found again
/// by its name, as the sort moves it.
class EntryAdder
{
public:
    EntryAdder(CQuartoDoc& document, IPrompt& prompt);
    /// Finishes if Finish was not called.
    ~EntryAdder();
    EntryAdder(const EntryAdder&) = delete;
    EntryAdder& operator=(const EntryAdder&) = delete;

    /// True (and the name noted for the report) when `name` is longer than an archive holds.
    bool RefuseTooLong(const std::string& name);
    /// True (after telling the user, with `caption`) when `name` is out for external editing.
    bool RefuseLocked(const std::string& name, const std::string& caption);
    bool Exists(const std::string& name) const;
    /// Adds (or replaces) `name` with the content of `source`, or with one zero byte when
    /// `source` is null. False when the file cannot be read (noted for the report).
    bool Add(const std::filesystem::path* source, const std::string& name);
    /// Notes a problem that is not about one entry name (a folder that cannot be read).
    void NoteProblem(std::string line) { m_problems.Add(std::move(line)); }

    /// Sorts the table, puts the selection back on its entry (reloading its preview when it was
    /// replaced) and tells the user what was not added. True when the archive changed; marking
    /// the document modified is left to the caller, which also tells the windows.
    bool Finish();
    bool Changed() const { return m_changed; }
    /// Files added (or replaced) so far.
    std::uint64_t AddedCount() const { return m_added; }

private:
    CQuartoDoc& m_document;
    IPrompt& m_prompt;
    ProblemList m_problems;
    std::string m_selectedName;
    bool m_hadSelection = false;
    bool m_selectionReplaced = false;
    bool m_changed = false;
    bool m_finished = false;
    std::uint64_t m_added = 0;
};

} // namespace kestrel
