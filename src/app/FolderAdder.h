#pragma once

#include "archive/FolderTreeWalk.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel {

class EntryAdder;
class ICommandDialogs;
class IProgress;

/// Adds every file below a folder to an archive, as Add Directory and dropped folders do. Entry
/// names start with the folder's own name and use '\' ("data\ini\x.ini" for the file
/// ini/x.ini below the folder data). Each folder asks "Overwrite file?" for its existing names
/// until the user ticks "Use answer for all files" with Yes; "No" skips the rest of that folder
/// only, and so does a name out for external editing. The walk is the shared one: name order,
/// links to folders not followed.
class FolderAdder : private IFolderTreeVisitor
{
public:
    FolderAdder(EntryAdder& adder, ICommandDialogs& dialogs, IProgress& progress);

    /// False when the user stopped the walk; what was added until then stays added.
    bool Run(const std::filesystem::path& folder);

private:
    Next File(const std::filesystem::directory_entry& file, const std::string& entryName) override;
    void EnterFolder(const std::filesystem::path&) override;
    void LeaveFolder(const std::filesystem::path&) override;
    void Unreadable(const std::filesystem::path& folder, const std::string& reason) override;

    EntryAdder& m_adder;
    ICommandDialogs& m_dialogs;
    IProgress& m_progress;
    std::uint64_t m_done = 0;
    std::uint64_t m_total = 0;
    /// "Use answer for all files", one per folder being walked: each folder asks anew.
    std::vector<bool> m_useForAll;
};

} // namespace kestrel
