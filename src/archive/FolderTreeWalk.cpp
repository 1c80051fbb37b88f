#include "archive/FolderTreeWalk.h"

#include "base/TemporaryFiles.h"

#include <algorithm>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using Next = IFolderTreeVisitor::Next;

/// Continue, or Stop when the visitor ended the walk.
Next WalkItems(const fs::path& folder, const std::string& prefix, IFolderTreeVisitor& visitor)
{
    std::error_code error;
    std::vector<fs::directory_entry> items;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        items.push_back(*it);
    if (error) {
        visitor.Unreadable(folder, error.message());
        return Next::Continue;
    }
    // Byte order of the names, not the locale's: the same tree gives the same archive everywhere.
    std::sort(items.begin(), items.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return a.path().filename().native() < b.path().filename().native();
    });
    visitor.EnterFolder(folder);
    Next next = Next::Continue;
    for (const fs::directory_entry& item : items) {
        const std::string part = item.path().filename().string();
        const std::string name = (prefix.empty() ? "" : prefix + '\\') + part;
        if (IsKestrelTemporaryName(part) || visitor.Leaves(name, part))
            continue;
        if (item.is_directory(error) && !item.is_symlink(error))
            next = WalkItems(item.path(), name, visitor);
        else if (item.is_directory(error))
            visitor.Skipped(item.path(), IFolderTreeVisitor::Skip::LinkToFolder);
        else if (item.is_regular_file(error))
            next = visitor.File(item, name);
        else
            visitor.Skipped(item.path(), IFolderTreeVisitor::Skip::NotAFile);
        if (next != Next::Continue)
            break;
    }
    visitor.LeaveFolder(folder);
    return next == Next::Stop ? Next::Stop : Next::Continue;
}

} // namespace

bool WalkFolderTree(const fs::path& folder, const std::string& prefix, IFolderTreeVisitor& visitor)
{
    return WalkItems(folder, prefix, visitor) != Next::Stop;
}

std::uint64_t CountFilesInTree(const fs::path& folder)
{
    std::uint64_t count = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && !IsKestrelTemporaryName(it->path().filename().string()))
            ++count;
    }
    return count;
}

} // namespace kestrel
