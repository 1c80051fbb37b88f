// The archive commands of an archive window: extract, add, rename, delete, format, quick save
// and dropped files. Every command that changes the archive passes the document's edit-mode
// gate first, marks the document modified and tells all views.
#include "app/CChildFrame.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "app/ArchiveExtractor.h"
#include "app/ArchiveSaving.h"
#include "app/CKestrelApp.h"
#include "app/CommandDialogs.h"
#include "app/EntryAdder.h"
#include "app/FileDropFilter.h"
#include "app/FolderAdder.h"
#include "archive/BIGEntry.h"
#include "archive/CQuartoDoc.h"
#include "archive/EntryExtraction.h"
#include "archive/EntryPaths.h"
#include "base/IPrompt.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string Title()
{
    return TextBytes(AppString::AppTitle);
}

/// The Filename dialog's answer; an empty name counts as Cancel, as no entry can be found by it.
std::optional<std::string> AskName(ICommandDialogs& dialogs, const std::string& proposed)
{
    std::optional<std::string> name = dialogs.AskEntryName(proposed);
    if (name && name->empty())
        return std::nullopt;
    return name;
}

} // namespace

ICommandDialogs& CChildFrame::Dialogs() const
{
    return m_app.Dialogs();
}

IPrompt& CChildFrame::Prompt() const
{
    return m_app.Prompt();
}

CBIGFile& CChildFrame::Archive() const
{
    return m_document->Doc().GetArchive();
}

void CChildFrame::InstallDropHandling()
{
    new FileDropFilter([this](const std::vector<fs::path>& paths) { OnDropFiles(paths); }, this);
}

void CChildFrame::AfterArchiveChange(bool changed)
{
    if (changed)
        m_document->SetModifiedFlag(true);
    m_document->UpdateAllViews(nullptr);
}

bool CChildFrame::SelectedUnlockedEntry() const
{
    const CommandState state = CurrentCommandState();
    return state.entrySelected && !state.entryLocked;
}

void CChildFrame::OnExtract()
{
    const int selected = m_document->SelectedEntry();
    if (!Archive().GetEntry(selected))
        return;
    const std::string name = EntryNameWithBackslashes(Archive().GetEntryName(selected));
    const auto target = Dialogs().AskExtractTarget(name.substr(name.find_last_of('\\') + 1));
    if (!target)
        return;
    std::string error;
    switch (ExtractEntryToFile(Archive(), selected, *target, true, error)) {
    case EntryFileResult::Written:
    case EntryFileResult::Cancelled: break;
    case EntryFileResult::OutsideFile:
    case EntryFileResult::ReadFailed:
        Prompt().ShowMessage(ToBytes(Text(AppString::CannotReadEntry).arg(FromBytes(name), FromBytes(error))), Title());
        break;
    case EntryFileResult::WriteFailed:
        Prompt().ShowMessage(
            ToBytes(Text(AppString::CannotWriteFile).arg(QString::fromStdU16String(target->u16string()), FromBytes(error))),
            Title());
        break;
    }
}

void CChildFrame::OnExtractAll()
{
    if (!Prompt().AskYesNo(TextBytes(AppString::ExtractAllQuestion), Title()))
        return;
    const auto folder = Dialogs().AskFolder();
    if (!folder)
        return;
    std::string report;
    {
        const auto progress = Dialogs().StartProgress(TextBytes(AppString::ProgressExtracting), true);
        ArchiveExtractor extractor(Archive(), *progress);
        extractor.Run(*folder);
        report = extractor.Report();
    }
    if (!report.empty())
        Prompt().ShowMessage(report, Title());
}

CChildFrame::AddStep CChildFrame::AddChosenFile(EntryAdder& adder, const fs::path& file)
{
    const auto name = AskName(Dialogs(), ProposedEntryNameForFile(file));
    if (!name || adder.RefuseTooLong(*name))
        return AddStep::Continue;
    if (adder.RefuseLocked(*name, Title()))
        return AddStep::Stop;
    if (adder.Exists(*name) && !Dialogs().AskOverwrite(*name, false).overwrite)
        return AddStep::Stop;
    adder.Add(&file, *name);
    return AddStep::Continue;
}

void CChildFrame::AddFolder(const fs::path& folder, bool cancellable)
{
    EntryAdder adder(m_document->Doc(), Prompt());
    {
        const auto progress = Dialogs().StartProgress(TextBytes(AppString::ProgressAdding), cancellable);
        FolderAdder(adder, Dialogs(), *progress).Run(folder);
    }
    AfterArchiveChange(adder.Finish());
}

void CChildFrame::OnAddFile()
{
    if (!m_document->ActivateEditMode())
        return;
    const auto file = Dialogs().AskFileToAdd();
    if (!file)
        return;
    EntryAdder adder(m_document->Doc(), Prompt());
    AddChosenFile(adder, *file);
    AfterArchiveChange(adder.Finish());
}

void CChildFrame::OnAddDirectory()
{
    if (!m_document->ActivateEditMode())
        return;
    if (const auto folder = Dialogs().AskFolder())
        AddFolder(*folder, true);
}

void CChildFrame::OnDropFiles(const std::vector<fs::path>& paths)
{
    if (!m_document->ActivateEditMode())
        return;
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            AddFolder(path, false);
            continue;
        }
        EntryAdder adder(m_document->Doc(), Prompt());
        const AddStep step = AddChosenFile(adder, path);
        AfterArchiveChange(adder.Finish());
        if (step == AddStep::Stop)
            return;
    }
}

void CChildFrame::OnAddEmptyFile()
{
    if (!m_document->ActivateEditMode()) {
        m_document->UpdateAllViews(nullptr);
        return;
    }
    const auto name = AskName(Dialogs(), TextBytes(AppString::NewEntryName));
    if (!name)
        return;
    EntryAdder adder(m_document->Doc(), Prompt());
    // An existing entry of the name is replaced without asking.
    if (!adder.RefuseTooLong(*name) && !adder.RefuseLocked(*name, Title()))
        adder.Add(nullptr, *name);
    AfterArchiveChange(adder.Finish());
}

void CChildFrame::OnRenameFile()
{
    if (!SelectedUnlockedEntry() || !m_document->ActivateEditMode())
        return;
    const int selected = m_document->SelectedEntry();
    const std::string current = Archive().GetEntryName(selected);
    const auto name = AskName(Dialogs(), current);
    if (!name || *name == current)
        return;
    if (name->size() > MaxEntryNameLength) {
        Prompt().ShowMessage(NameTooLongText(*name) + "\n\n" + TextBytes(AppString::RenameRefused), Title());
        return;
    }
    // The table keeps its order: the entry stays on its row until the next addition sorts.
    AfterArchiveChange(Archive().RenameEntry(selected, *name) != 0);
}

void CChildFrame::OnDeleteFile()
{
    if (!SelectedUnlockedEntry() || !m_document->ActivateEditMode())
        return;
    AfterArchiveChange(m_document->Doc().DeleteEntry(m_document->SelectedEntry()) != 0);
}

void CChildFrame::OnSetFileFormat(int format)
{
    if (!m_document->ActivateEditMode())
        return;
    const bool changed = Archive().GetFormat() != format;
    Archive().SetFormat(format);
    AfterArchiveChange(changed);
}

void CChildFrame::OnQuickSave()
{
    // A document that has no file yet has nowhere to write in place: it is saved like Save As.
    if (!Archive().HasFile()) {
        m_app.OnFileSave(this, true);
        return;
    }
    CQuartoDoc& doc = m_document->Doc();
    SaveWithProgress(Archive(), Dialogs(), ToBytes(m_document->Title()), [&doc] { return doc.QuickSave(); });
    // Tells the windows; a failed save kept the flag (and told the user).
    m_document->SetModifiedFlag(doc.IsModified());
}

} // namespace kestrel
