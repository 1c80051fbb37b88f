#pragma once

#include "archive/CBIGFile.h"
#include "archive/IDocumentObserver.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class FileLock;
class IPrompt;

/// The document of one open archive, without any window framework: the archive, the selected
/// entry and its preview bytes, the edit-mode gate, the entries out for external editing (the
/// lock list), the game's texture archives and the new/open/save steps. Views observe it through
/// IDocumentObserver; all questions and messages go through the injected prompt.
class CQuartoDoc
{
public:
    /// Entries larger than this ask before they are previewed.
    static constexpr std::uint32_t HugeEntrySize = 10485760;

    /// Finds the game and opens its texture archives into the document (filled in by the model
    /// preview); without one, opening the texture archives does nothing.
    using TextureArchiveOpener = std::function<void(CQuartoDoc& document)>;
    /// Delivers a program-wide request to every open document; without one, the request reaches
    /// this document's observers only.
    using BroadcastRouter = std::function<void(DocumentBroadcast request)>;

    explicit CQuartoDoc(IPrompt& prompt);
    ~CQuartoDoc();
    CQuartoDoc(const CQuartoDoc&) = delete;
    CQuartoDoc& operator=(const CQuartoDoc&) = delete;

    /// An empty BIGF archive in edit mode.
    bool OnNewDocument();
    /// Opens the archive lazily; succeeds even when the file cannot be opened (the list is then
    /// empty and the user is told why).
    bool OnOpenDocument(const std::filesystem::path& path);
    /// Save and Save As: closes every document's texture archives, writes the whole archive to
    /// `path`, continues on that file and reopens the texture archives. The written file is not
    /// read again: the archive already describes it, and reading it would ask again about an
    /// unknown magic the user accepted when opening. A failure is told to the user and keeps the
    /// modified flag.
    bool OnSaveDocument(const std::filesystem::path& path);
    /// Rewrites the archive file in place. A failure (read-only, no file yet, a write error) is
    /// told to the user and keeps the modified flag.
    ///
    /// Both saves hold the archive's lock (the one kestrel-big takes) while they write, waiting a
    /// moment for another writer, and ask before overwriting a file another program changed
    /// since it was read; a file replaced meanwhile is then written whole.
    bool QuickSave();
    /// How long a save waits for another program's lock on the file.
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    /// Asks once per document whether changes are wanted; nonzero when they are.
    int ActivateEditMode();
    int GetEditMode() const { return m_editMode; }

    int GetSelectedEntry() const { return m_selectedEntry; }
    void SetSelectedEntry(int index) { m_selectedEntry = index; }
    /// Copies the selected entry's current bytes into the preview buffer (asking first for huge
    /// entries). False when the buffer stays empty: no selection, declined, or unreadable.
    bool LoadSelectedEntry();
    /// LoadSelectedEntry after the previewed entry was written back: the user already chose to
    /// see it, so a huge entry does not ask again.
    bool ReloadSelectedEntry();
    /// The preview bytes, or null when there are none. Valid until the next load, delete or open.
    const std::vector<std::uint8_t>* GetPreviewBuffer() const;
    /// Deletes an entry from the archive; afterwards nothing is selected or previewed.
    int DeleteEntry(int index);

    /// An entry handed to an external editor; a name may be locked more than once.
    void LockEntry(std::string name);
    /// The external edit ended: removes every occurrence of `name`, regardless of case.
    void UnlockEntry(std::string_view name);
    bool IsEntryLocked(std::string_view name) const;
    const std::vector<std::string>& GetLockList() const { return m_lockList; }

    void OpenTextureArchives();
    void CloseTextureArchives();
    void SetTextureArchiveOpener(TextureArchiveOpener opener) { m_textureOpener = std::move(opener); }
    CBIGFile& GetGameTextureArchive() { return m_gameTextures; }
    CBIGFile& GetBaseGameTextureArchive() { return m_baseGameTextures; }
    /// 0 Generals, 1 Zero Hour, 2 Battle for Middle-earth.
    int GetGameKind() const { return m_gameKind; }
    void SetGameKind(int kind) { m_gameKind = kind; }
    const std::filesystem::path& GetInstallationFolder() const { return m_installationFolder; }
    void SetInstallationFolder(std::filesystem::path folder) { m_installationFolder = std::move(folder); }

    void AddObserver(IDocumentObserver* observer);
    void RemoveObserver(IDocumentObserver* observer);
    /// Tells every observer but `sender` that the document changed.
    void UpdateAllViews(IDocumentObserver* sender = nullptr);
    void SetBroadcastRouter(BroadcastRouter router) { m_router = std::move(router); }
    /// Hands a program-wide request to this document's observers (the router calls this).
    void DeliverBroadcast(DocumentBroadcast request);

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    CBIGFile& GetArchive() { return m_archive; }
    const CBIGFile& GetArchive() const { return m_archive; }
    /// The archive's path up to and including its last separator, set on open.
    const std::string& GetArchiveFolder() const { return m_archiveFolder; }
    /// The file the document was opened from or last saved to; empty for a new document.
    const std::filesystem::path& GetPathName() const { return m_pathName; }

private:
    void Broadcast(DocumentBroadcast request);
    void TellSaveFailed(const std::string& caption);
    bool LockForSaving(const std::filesystem::path& path, FileLock& lock, const std::string& caption);
    /// True when the file changed on disk and the user chose not to overwrite it.
    bool DeclinesOverwritingOtherChanges(const std::string& caption);
    bool LoadSelected(bool askAboutHugeEntry);

    IPrompt& m_prompt;
    CBIGFile m_archive;
    int m_selectedEntry = -1;
    std::optional<std::vector<std::uint8_t>> m_previewBuffer;
    int m_editMode = 0;
    CBIGFile m_gameTextures;
    CBIGFile m_baseGameTextures;
    std::filesystem::path m_installationFolder;
    std::string m_archiveFolder;
    std::vector<std::string> m_lockList;
    int m_gameKind = 0;
    bool m_modified = false;
    std::filesystem::path m_pathName;
    TextureArchiveOpener m_textureOpener;
    BroadcastRouter m_router;
    std::chrono::milliseconds m_lockWait{3000};
    std::vector<IDocumentObserver*> m_observers;
};

} // namespace kestrel
