#include "archive/CQuartoDoc.h"

#include "base/AsciiCase.h"
#include "base/FileLock.h"
#include "base/IPrompt.h"

#include <algorithm>

namespace kestrel {
namespace {

const std::string EditModeQuestion =
    "This will activate EditMode, meaning you can edit this BIG file. Please be awarethat editing a BIG file may "
    "cause you to be unable to play online. Before editing a BIG file, you should definitly make a backup of the "
    "file. Considering this, do you want to activate EditMode?";

const std::string ChangedOnDiskQuestion =
    "This BIG file was changed by another program after Kestrel read it. Saving now overwrites those changes "
    "with the archive as Kestrel shows it. Save anyway?";

std::string FolderOf(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(0, separator + 1);
}

} // namespace

CQuartoDoc::CQuartoDoc(IPrompt& prompt)
    : m_prompt(prompt), m_archive(prompt), m_gameTextures(prompt), m_baseGameTextures(prompt)
{
}

CQuartoDoc::~CQuartoDoc() = default;

bool CQuartoDoc::OnNewDocument()
{
    m_editMode = 1;
    m_selectedEntry = -1;
    m_previewBuffer.reset();
    m_archive.Close();
    m_archive.SetFormat(BIGFormat_BIGF);
    m_pathName.clear();
    m_modified = false;
    OpenTextureArchives();
    return true;
}

bool CQuartoDoc::OnOpenDocument(const std::filesystem::path& path)
{
    m_selectedEntry = -1;
    m_previewBuffer.reset();
    m_archiveFolder = FolderOf(path.string());
    if (!m_archive.Open(path, 0))
        m_prompt.ShowMessage("Could not open the BIG file: " + m_archive.LastError(), path.string());
    m_pathName = path;
    m_modified = false;
    OpenTextureArchives();
    UpdateAllViews();
    return true;
}

bool CQuartoDoc::LockForSaving(const std::filesystem::path& path, FileLock& lock, const std::string& caption)
{
    if (lock.Acquire(path, m_lockWait))
        return true;
    m_prompt.ShowMessage("Cannot save " + path.string() + ": " + lock.Error() + ".\n\nYour changes have not been saved.",
                         caption);
    return false;
}

bool CQuartoDoc::DeclinesOverwritingOtherChanges(const std::string& caption)
{
    return m_archive.ChangedOnDisk() && !m_prompt.AskYesNo(ChangedOnDiskQuestion, caption);
}

bool CQuartoDoc::OnSaveDocument(const std::filesystem::path& path)
{
    FileLock lock;
    if (!LockForSaving(path, lock, "Save"))
        return false;
    std::error_code error;
    const bool ownFile = m_archive.HasFile() && std::filesystem::equivalent(path, m_archive.GetPath(), error);
    if (ownFile && DeclinesOverwritingOtherChanges("Save"))
        return false;
    Broadcast(DocumentBroadcast::CloseTextureArchives);
    CloseTextureArchives();
    const bool saved = m_archive.SaveAs(path) != 0;
    if (saved) {
        m_pathName = path;
    } else {
        TellSaveFailed("Save");
    }
    Broadcast(DocumentBroadcast::ReopenTextureArchives);
    if (saved)
        m_modified = false;
    return saved;
}

bool CQuartoDoc::QuickSave()
{
    FileLock lock;
    if (m_archive.HasFile() && !LockForSaving(m_archive.GetPath(), lock, "Quick Save"))
        return false;
    const bool changed = m_archive.ChangedOnDisk();
    if (changed && DeclinesOverwritingOtherChanges("Quick Save"))
        return false;
    // After another program replaced the file, an in-place save would write into the old file
    // that no name leads to any more; a whole save writes the archive under its name again.
    const bool saved = changed ? m_archive.SaveAs(m_archive.GetPath()) != 0 : m_archive.SaveInPlace() != 0;
    if (!saved) {
        TellSaveFailed("Quick Save");
        return false;
    }
    m_modified = false;
    return true;
}

void CQuartoDoc::TellSaveFailed(const std::string& caption)
{
    m_prompt.ShowMessage(m_archive.LastError() + ".\n\nYour changes have not been saved.", caption);
}

int CQuartoDoc::ActivateEditMode()
{
    if (m_editMode == 0 && m_prompt.AskYesNo(EditModeQuestion, "Activate EditMode"))
        m_editMode = 1;
    return m_editMode;
}

bool CQuartoDoc::LoadSelectedEntry()
{
    return LoadSelected(true);
}

bool CQuartoDoc::ReloadSelectedEntry()
{
    return LoadSelected(false);
}

bool CQuartoDoc::LoadSelected(bool askAboutHugeEntry)
{
    m_previewBuffer.reset();
    if (!m_archive.GetEntry(m_selectedEntry))
        return false;
    if (askAboutHugeEntry && m_archive.GetEntrySize(m_selectedEntry) > HugeEntrySize &&
        !m_prompt.AskYesNo("File bigger as 10 MB, preview?", "Huge file"))
        return false;
    // An entry that cannot be read previews as nothing rather than as bytes that are not its own.
    m_previewBuffer = m_archive.GetEntryBytes(m_selectedEntry);
    return m_previewBuffer.has_value();
}

const std::vector<std::uint8_t>* CQuartoDoc::GetPreviewBuffer() const
{
    return m_previewBuffer ? &*m_previewBuffer : nullptr;
}

int CQuartoDoc::DeleteEntry(int index)
{
    const int deleted = m_archive.DeleteEntry(index);
    if (deleted) {
        m_selectedEntry = -1;
        m_previewBuffer.reset();
    }
    return deleted;
}

void CQuartoDoc::LockEntry(std::string name)
{
    m_lockList.push_back(std::move(name));
}

void CQuartoDoc::UnlockEntry(std::string_view name)
{
    std::erase_if(m_lockList, [&](const std::string& locked) { return EqualsIgnoringAsciiCase(locked, name); });
}

bool CQuartoDoc::IsEntryLocked(std::string_view name) const
{
    return std::any_of(m_lockList.begin(), m_lockList.end(),
                       [&](const std::string& locked) { return EqualsIgnoringAsciiCase(locked, name); });
}

void CQuartoDoc::OpenTextureArchives()
{
    if (m_textureOpener)
        m_textureOpener(*this);
}

void CQuartoDoc::CloseTextureArchives()
{
    m_gameTextures.Close();
    m_baseGameTextures.Close();
}

void CQuartoDoc::AddObserver(IDocumentObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CQuartoDoc::RemoveObserver(IDocumentObserver* observer)
{
    std::erase(m_observers, observer);
}

void CQuartoDoc::UpdateAllViews(IDocumentObserver* sender)
{
    // A copy, so an observer may detach itself while being told.
    const auto observers = m_observers;
    for (IDocumentObserver* observer : observers)
        if (observer != sender)
            observer->OnDocumentUpdate(sender);
}

void CQuartoDoc::Broadcast(DocumentBroadcast request)
{
    if (m_router)
        m_router(request);
    else
        DeliverBroadcast(request);
}

void CQuartoDoc::DeliverBroadcast(DocumentBroadcast request)
{
    const auto observers = m_observers;
    for (IDocumentObserver* observer : observers)
        observer->OnDocumentBroadcast(request);
}

} // namespace kestrel
