#include "app/FolderWalk.h"

#include "app/AppStrings.h"
#include "app/CommandDialogs.h"
#include "app/EntryAdder.h"
#include "archive/EntryPaths.h"

#include <algorithm>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

/// The files the walk will meet, for the progress; unreadable folders count as empty.
std::uint64_t CountFiles(const fs::path& folder)
{
    std::uint64_t count = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error))
            ++count;
    }
    return count;
}

std::string Joined(const std::string& prefix, const fs::path& item)
{
    return prefix.empty() ? item.filename().string() : prefix + '\\' + item.filename().string();
}

} // namespace

FolderWalk::FolderWalk(EntryAdder& adder, ICommandDialogs& dialogs, IPrompt& prompt, IProgress& progress)
    : m_adder(adder), m_dialogs(dialogs), m_prompt(prompt), m_progress(progress)
{
}

bool FolderWalk::Run(const fs::path& folder)
{
    m_done = 0;
    m_total = CountFiles(folder);
    // A file-system root has no name of its own; its files are named from the root down.
    const std::string prefix = EntryNameRelativeTo(folder, EntryNameBaseOfFolder(folder)).value_or(std::string());
    return Walk(folder, prefix);
}

bool FolderWalk::Walk(const fs::path& folder, const std::string& prefix)
{
    std::error_code error;
    std::vector<fs::directory_entry> items;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        items.push_back(*it);
    if (error) {
        m_adder.NoteProblem(ToBytes(Text(AppString::CannotReadFolder).arg(FromBytes(folder.string()),
                                                                          FromBytes(error.message()))));
        return true;
    }
    std::sort(items.begin(), items.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return a.path().filename().native() < b.path().filename().native();
    });
    bool useForAll = false; // each folder asks anew
    for (const fs::directory_entry& item : items) {
        const std::string name = Joined(prefix, item.path());
        if (item.is_directory(error) && !item.is_symlink(error)) {
            if (!Walk(item.path(), name))
                return false;
        } else if (item.is_regular_file(error)) {
            if (!m_progress.Update(++m_done, m_total))
                return false;
            if (!AddFile(item.path(), name, useForAll))
                break;
        }
    }
    return true;
}

bool FolderWalk::AddFile(const fs::path& file, const std::string& name, bool& useForAll)
{
    if (m_adder.RefuseTooLong(name))
        return true;
    if (m_adder.RefuseLocked(name, name))
        return false;
    if (!useForAll && m_adder.Exists(name)) {
        const OverwriteAnswer answer = m_dialogs.AskOverwrite(name, true);
        if (!answer.overwrite)
            return false;
        useForAll = answer.useForAll;
    }
    m_adder.Add(&file, name);
    return true;
}

} // namespace kestrel
