#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {

class EntryAdder;
class ICommandDialogs;
class IPrompt;
class IProgress;

/// Adds every file below a folder to an archive, as Add Directory and dropped folders do. Entry
/// names start with the folder's own name and use '\' ("data\ini\x.ini" for the file
/// ini/x.ini below the folder data). Each folder asks "Overwrite file?" for its existing names
/// until the user ticks "Use answer for all files" with Yes; "No" skips the rest of that folder
/// only, and so does a name out for external editing. Items are visited in name order, so the
/// same tree always asks the same questions; links to folders are not followed.
class FolderWalk
{
public:
    FolderWalk(EntryAdder& adder, ICommandDialogs& dialogs, IPrompt& prompt, IProgress& progress);

    /// False when the user stopped the walk; what was added until then stays added.
    bool Run(const std::filesystem::path& folder);

private:
    bool Walk(const std::filesystem::path& folder, const std::string& prefix);
    /// False when the rest of the folder is to be skipped.
    bool AddFile(const std::filesystem::path& file, const std::string& name, bool& useForAll);

    EntryAdder& m_adder;
    ICommandDialogs& m_dialogs;
    IPrompt& m_prompt;
    IProgress& m_progress;
    std::uint64_t m_done = 0;
    std::uint64_t m_total = 0;
};

} // namespace kestrel
