#include "app/EntryAdder.h"

#include "app/AppStrings.h"
#include "archive/BIGEntry.h"
#include "archive/CQuartoDoc.h"
#include "base/AsciiCase.h"
#include "base/IPrompt.h"

namespace kestrel {

std::string NameTooLongText(const std::string& name)
{
    return ToBytes(Text(AppString::NameTooLong)
                       .arg(QStringLiteral("\"") + FromBytes(name) + QStringLiteral("\""))
                       .arg(name.size())
                       .arg(MaxEntryNameLength));
}

EntryAdder::EntryAdder(CQuartoDoc& document, IPrompt& prompt) : m_document(document), m_prompt(prompt)
{
    CBIGFile& archive = m_document.GetArchive();
    const int selected = m_document.GetSelectedEntry();
    if (archive.GetEntry(selected)) {
        m_hadSelection = true;
        m_selectedName = archive.GetEntryName(selected);
    }
    archive.DeferSorting(true);
}

EntryAdder::~EntryAdder()
{
    Finish();
}

bool EntryAdder::RefuseTooLong(const std::string& name)
{
    if (name.size() <= MaxEntryNameLength)
        return false;
    m_problems.Add(NameTooLongText(name));
    return true;
}

bool EntryAdder::RefuseLocked(const std::string& name, const std::string& caption)
{
    if (!m_document.IsEntryLocked(name))
        return false;
    m_prompt.ShowMessage(TextBytes(AppString::EntryLockedNoReplace), caption);
    return true;
}

bool EntryAdder::Exists(const std::string& name) const
{
    return m_document.GetArchive().FindEntry(name) >= 0;
}

bool EntryAdder::Add(const std::filesystem::path* source, const std::string& name)
{
    CBIGFile& archive = m_document.GetArchive();
    if (!archive.AddEntry(source, name)) {
        const std::string shown = source ? source->string() : name;
        m_problems.Add(ToBytes(Text(AppString::CannotReadFile).arg(FromBytes(shown), FromBytes(archive.LastError()))));
        return false;
    }
    m_changed = true;
    ++m_added;
    if (m_hadSelection && EqualsIgnoringAsciiCase(name, m_selectedName))
        m_selectionReplaced = true;
    return true;
}

bool EntryAdder::Finish()
{
    if (m_finished)
        return m_changed;
    m_finished = true;
    m_document.GetArchive().DeferSorting(false);
    if (m_hadSelection && m_changed) {
        // The list shows rows by index: the selection must follow its entry through the sort, or
        // the next Rename, Delete or text edit would hit whatever entry moved into its place.
        m_document.SetSelectedEntry(m_document.GetArchive().FindEntry(m_selectedName));
        if (m_selectionReplaced)
            m_document.LoadSelectedEntry();
    }
    if (!m_problems.Empty())
        m_prompt.ShowMessage(m_problems.Message(AppString::NotAddedHeader), TextBytes(AppString::AppTitle));
    return m_changed;
}

} // namespace kestrel
