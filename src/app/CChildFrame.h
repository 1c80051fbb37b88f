#pragma once

#include <QMdiSubWindow>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSplitter;

namespace kestrel {

class ArchiveDocument;
class CBIGFile;
class CKestrelApp;
class CLeftView;
class CQuartoView;
class EntryAdder;
class EntryListPane;
class FindInArchiveDialog;
class ICommandDialogs;
class IPrompt;

/// One archive window: the entry list on the left (280 pixels) and the preview on the right,
/// side by side. Several windows may show the same document; the document lives as long as
/// one of them does.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    /// What the main window needs to enable and check its archive commands.
    struct CommandState
    {
        bool entrySelected = false;
        bool entryLocked = false;
        bool showsText = false;
        bool textReadOnly = false;
        /// The caret's line of an INI text names a string-table label.
        bool caretNamesLabel = false;
        int format = 0;
        QString note;
        /// The entries the list shows and the entries of the archive.
        int shownEntries = 0;
        int totalEntries = 0;
    };

    static constexpr int LeftPaneWidth = 280;

    CChildFrame(CKestrelApp& app, std::shared_ptr<ArchiveDocument> document);
    ~CChildFrame() override;

    ArchiveDocument& Document() const { return *m_document; }
    const std::shared_ptr<ArchiveDocument>& SharedDocument() const { return m_document; }
    CLeftView* LeftView() const { return m_leftView; }
    EntryListPane* ListPane() const { return m_listPane; }
    CQuartoView* EditorView() const { return m_editorView; }
    QSplitter* Splitter() const { return m_splitter; }

    /// Fills the list and sets up the preview (once, after the window is shown).
    void InitialUpdate();
    CommandState CurrentCommandState() const;

    void CutText();
    void CopyText();
    void PasteText();
    /// The Find or Replace dialog over the text in the preview.
    void FindText(bool replace);
    void RepaintPreview();
    /// Lets the arrow keys move the divider between the panes until Enter or Escape.
    void StartKeyboardSplit();
    /// Moves the keyboard focus from one pane to the other (F6, Shift+F6).
    void FocusOtherPane();
    /// Puts the keyboard into the entry list's filter box (Ctrl+L).
    void FocusEntryFilter();
    /// Shows the Find in Archive window of this archive (Ctrl+Shift+F).
    FindInArchiveDialog* FindInArchive();
    /// Selects and previews entry `entry`, at line `line` of a text (counted from 0), clearing a
    /// filter that hides it. `name` is the entry's name when `entry` was read: should the table
    /// have changed since, the entry is found by that name.
    void OpenEntryAt(int entry, const std::string& name, std::optional<std::uint64_t> line);
    /// Shows the string table that holds the label the caret's line names, with the label's row
    /// selected: the tables of this archive first, then those of the other open archives. Says
    /// in the status bar when none holds it.
    void GoToLabel();
    /// Closes without offering to save (the caller has dealt with the document).
    void CloseWithoutAsking();

    // The archive commands (CChildFrame_Commands.cpp).
    void OnExtract();
    void OnExtractAll();
    void OnAddFile();
    void OnAddDirectory();
    void OnAddEmptyFile();
    void OnRenameFile();
    /// `confirm`: ask first, naming the entry (the key was pressed away from the entry list).
    void OnDeleteFile(bool confirm = false);
    void OnSetFileFormat(int format);
    void OnQuickSave();
    /// Files and folders dropped onto the window, in the order given.
    void OnDropFiles(const std::vector<std::filesystem::path>& paths);

signals:
    void CommandStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleSplitKey(int key);
    /// OpenEntryAt without the line: whether the entry is now the one previewed.
    bool ShowEntry(int entry, const std::string& name);

    // Archive command helpers (CChildFrame_Commands.cpp).
    enum class AddStep { Continue, Stop };
    ICommandDialogs& Dialogs() const;
    IPrompt& Prompt() const;
    CBIGFile& Archive() const;
    void InstallDropHandling();
    void AfterArchiveChange(bool changed);
    bool SelectedUnlockedEntry() const;
    AddStep AddChosenFile(EntryAdder& adder, const std::filesystem::path& file);
    /// False when the user cancelled.
    bool AddFolder(const std::filesystem::path& folder);

    CKestrelApp& m_app;
    std::shared_ptr<ArchiveDocument> m_document;
    QSplitter* m_splitter = nullptr;
    EntryListPane* m_listPane = nullptr;
    CLeftView* m_leftView = nullptr;
    FindInArchiveDialog* m_findInArchive = nullptr;
    CQuartoView* m_editorView = nullptr;
    bool m_closeAsked = false;
    int m_splitStart = -1;
};

} // namespace kestrel
