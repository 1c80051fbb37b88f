#include "app/FolderAdder.h"

#include "app/AppStrings.h"
#include "app/CommandDialogs.h"
#include "app/EntryAdder.h"
#include "archive/EntryPaths.h"

namespace kestrel {

namespace fs = std::filesystem;

FolderAdder::FolderAdder(EntryAdder& adder, ICommandDialogs& dialogs, IProgress& progress)
    : m_adder(adder), m_dialogs(dialogs), m_progress(progress)
{
}

bool FolderAdder::Run(const fs::path& folder)
{
    m_done = 0;
    m_total = CountFilesInTree(folder);
    m_useForAll.clear();
    // A file-system root has no name of its own; its files are named from the root down.
    const std::string prefix = EntryNameRelativeTo(folder, EntryNameBaseOfFolder(folder)).value_or(std::string());
    return WalkFolderTree(folder, prefix, *this);
}

void FolderAdder::EnterFolder(const fs::path&)
{
    m_useForAll.push_back(false);
}

void FolderAdder::LeaveFolder(const fs::path&)
{
    m_useForAll.pop_back();
}

void FolderAdder::Unreadable(const fs::path& folder, const std::string& reason)
{
    m_adder.NoteProblem(ToBytes(Text(AppString::CannotReadFolder).arg(FromBytes(folder.string()), FromBytes(reason))));
}

FolderAdder::Next FolderAdder::File(const fs::directory_entry& file, const std::string& name)
{
    if (!m_progress.Update(++m_done, m_total))
        return Next::Stop;
    if (m_adder.RefuseTooLong(name))
        return Next::Continue;
    if (m_adder.RefuseLocked(name, name))
        return Next::SkipRestOfFolder;
    if (!m_useForAll.back() && m_adder.Exists(name)) {
        const OverwriteAnswer answer = m_dialogs.AskOverwrite(name, true);
        if (!answer.overwrite)
            return Next::SkipRestOfFolder;
        m_useForAll.back() = answer.useForAll;
    }
    m_adder.Add(&file.path(), name);
    return Next::Continue;
}

} // namespace kestrel
