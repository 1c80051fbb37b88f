#include "ToolArchive.h"

#include "EntryGlob.h"
#include "ProgressBar.h"

#include "archive/EntryPaths.h"

#include <algorithm>
#include <memory>

namespace kestrel::cli {
namespace {

constexpr std::uint64_t HeaderSize = 16;

} // namespace

ToolArchive::ToolArchive(ToolContext& context) : m_context(context), m_prompt(context), m_archive(m_prompt) {}

int ToolArchive::Open(const std::string& argument, ArchiveUse use)
{
    m_shownName = argument;
    const auto path = m_context.Resolve(argument);
    m_prompt.SetArchive(argument, path.string());
    m_prompt.SetReadingOnly(use == ArchiveUse::Read);
    if (!m_archive.Open(path)) {
        m_context.Report(argument, "cannot open: " + m_archive.LastError());
        return ExitFailure;
    }
    if (m_prompt.DeclinedAQuestion()) {
        m_context.Report(argument, "not read: its magic \"" + m_archive.GetMagic() + "\" is unknown");
        return ExitFailure;
    }
    if (m_archive.GetFileLength() < HeaderSize) {
        m_context.Report(argument, "not a BIG archive: the file is shorter than the 16-byte header");
        return ExitFailure;
    }
    if (use == ArchiveUse::Change && m_archive.IsReadOnly()) {
        m_context.Report(argument, "not changed: the file is read-only");
        return ExitFailure;
    }
    if (m_archive.IsDamaged()) {
        if (use == ArchiveUse::Read)
            return ExitProblems;
        m_context.Report(argument, "not changed: the archive is damaged, and saving it would drop the entries "
                                   "that could not be read (extract what can be read, then pack it anew)");
        return ExitFailure;
    }
    return ExitOk;
}

int ToolArchive::Save(bool inPlace)
{
    if (!inPlace)
        return SaveTo(m_shownName);
    return WriteWithProgress(m_shownName, [&] { return m_archive.SaveInPlace(); });
}

int ToolArchive::SaveTo(const std::string& argument)
{
    const auto path = m_context.Resolve(argument);
    return WriteWithProgress(argument, [&] { return m_archive.SaveAs(path); });
}

int ToolArchive::WriteWithProgress(const std::string& shownName, const std::function<int()>& write)
{
    std::unique_ptr<ProgressBar> bar;
    m_archive.SetProgressObserver([&](std::uint64_t done, std::uint64_t total) {
        if (!bar)
            bar = std::make_unique<ProgressBar>(m_context.err, m_context.ShowsProgress(), "save", 0, total);
        bar->Update(0, done);
    });
    const int saved = write();
    m_archive.SetProgressObserver({});
    bar.reset();
    if (!saved) {
        m_context.Report(shownName, "not saved: " + m_archive.LastError());
        return ExitFailure;
    }
    return ExitOk;
}

int ToolArchive::ReadEntry(int index, const CBIGFile::PieceSink& sink, std::string& error)
{
    switch (m_archive.ReadEntryPieces(index, sink)) {
    case CBIGFile::PieceRead::Read: return ExitOk;
    case CBIGFile::PieceRead::Stopped: return ExitFailure;
    case CBIGFile::PieceRead::OutsideFile: error = m_archive.LastError(); return ExitProblems;
    case CBIGFile::PieceRead::NoSuchEntry:
    case CBIGFile::PieceRead::ReadFailed: break;
    }
    error = m_archive.LastError();
    return ExitFailure;
}

std::vector<int> ToolArchive::SelectEntries(std::span<const std::string> patterns, int& status)
{
    EntryFilter filter({patterns.begin(), patterns.end()});
    std::vector<int> selected;
    for (int i = 0; i < m_archive.GetEntryCount(); ++i) {
        if (filter.Selects(m_archive.GetEntryName(i)))
            selected.push_back(i);
    }
    for (const auto& unused : filter.UnusedPatterns()) {
        m_context.Report(m_shownName, "no entry matches \"" + unused + "\"");
        status = std::max<int>(status, ExitProblems);
    }
    return selected;
}

int ToolArchive::FindTypedEntry(const std::string& typed)
{
    int index = m_archive.FindEntry(typed);
    if (index < 0)
        index = m_archive.FindEntry(EntryNameWithBackslashes(typed));
    if (index < 0)
        m_context.Report(m_shownName, "no entry named \"" + typed + "\"");
    return index;
}

int ToolArchive::OpenForEntry(const std::string& argument, const std::string& entryName, int& opened)
{
    opened = Open(argument, ArchiveUse::Read);
    return opened == ExitFailure ? -1 : FindTypedEntry(entryName);
}

} // namespace kestrel::cli
