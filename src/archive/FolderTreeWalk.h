#pragma once

// Walking a folder tree to add it to an archive, shared by the editor's Add Directory and
// `kestrel-big add`/`pack`: items in name order, so the same tree always gives the same
// archive (and asks the same questions), and links to folders never followed, so a link cannot
// pull a tree in twice or loop. Kestrel's own temporary files (a save in progress or one that
// was killed) are never met: packing one would put half an archive into the mod.

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {

/// Hears what a folder walk meets.
class IFolderTreeVisitor
{
public:
    enum class Next
    {
        Continue,
        SkipRestOfFolder, ///< go on with the folder above
        Stop,             ///< end the whole walk
    };
    /// Why an item was passed over.
    enum class Skip
    {
        LinkToFolder,
        NotAFile, ///< neither a regular file nor a folder (a device, a socket, a broken link)
    };

    virtual ~IFolderTreeVisitor() = default;
    /// Whether to pass over an item (file or folder) without a word, before anything else is
    /// asked about it; `itemName` is its own name, `entryName` the one it would get.
    virtual bool Leaves(const std::string& /*entryName*/, const std::string& /*itemName*/) const { return false; }
    /// A regular file (or a link to one) and its entry name.
    virtual Next File(const std::filesystem::directory_entry& file, const std::string& entryName) = 0;
    /// Called before a folder's items are visited and after the last of them.
    virtual void EnterFolder(const std::filesystem::path&) {}
    virtual void LeaveFolder(const std::filesystem::path&) {}
    virtual void Skipped(const std::filesystem::path&, Skip) {}
    /// A folder whose items cannot be listed; the walk goes on without them.
    virtual void Unreadable(const std::filesystem::path& folder, const std::string& reason) = 0;
};

/// Visits everything below `folder`, naming each file `prefix` + '\' + its path below the folder
/// with '\' separators (no leading '\' when `prefix` is empty). False when the visitor stopped.
bool WalkFolderTree(const std::filesystem::path& folder, const std::string& prefix, IFolderTreeVisitor& visitor);

/// The regular files a walk of `folder` will meet, for a progress total; unreadable folders count
/// as empty.
std::uint64_t CountFilesInTree(const std::filesystem::path& folder);

} // namespace kestrel
