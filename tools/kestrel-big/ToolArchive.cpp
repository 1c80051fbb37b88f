#include "ToolArchive.h"

#include "archive/EntryGlob.h"
#include "ProgressBar.h"

#include "archive/BIGLayout.h"
#include "archive/EntryPaths.h"

#include <algorithm>
#include <memory>

namespace kestrel::cli {
namespace {

constexpr std::uint64_t HeaderSize = 16;

} // namespace

ToolArchive::ToolArchive(ToolContext& context) : m_context(context), m_prompt(context), m_archive(m_prompt) {}

int ToolArchive::Lock(const std::string& argument, const std::filesystem::path& path)
{
    if (m_lock.Acquire(path, m_context.lockWait))
        return ExitOk;
    m_context.Report(argument, "not changed: " + m_lock.Error());
    return ExitFailure;
}

int ToolArchive::Open(const std::string& argument, ArchiveUse use)
{
    m_shownName = argument;
    const auto path = m_context.Resolve(argument);
    m_prompt.SetArchive(argument, path.string());
    m_prompt.SetReadingOnly(use == ArchiveUse::Read);
    m_prompt.SetChanging(use == ArchiveUse::Change);
    // Locked before reading, so the changes are made to what the previous writer left.
    if (use == ArchiveUse::Change && Lock(argument, path) != ExitOk)
        return ExitFailure;
    if (!m_archive.Open(path)) {
        m_context.Report(argument, "cannot open: " + m_archive.LastError());
        return ExitFailure;
    }
    if (m_prompt.DeclinedAQuestion()) {
        const std::string magic = "its magic \"" + PrintableMagic(m_archive.GetMagic()) + "\" is unknown";
        m_context.Report(argument, use == ArchiveUse::Read
                                       ? "not read: " + magic
                                       : "not changed: " + magic + ", so it is probably not a BIG archive (are the "
                                                                   "arguments swapped?); --force changes it anyway");
        // A refusal, not a failure: nothing went wrong, the file is just not an archive.
        return use == ArchiveUse::Read ? ExitFailure : ExitProblems;
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

int ToolArchive::PrepareTarget(const std::string& argument)
{
    const auto path = m_context.Resolve(argument);
    if (Lock(argument, path) != ExitOk)
        return ExitFailure;
    File existing;
    char magic[4] = {};
    if (m_context.force || !existing.Open(path, File::Mode::ReadOnly) || existing.Length() == 0)
        return ExitOk;
    const bool known = existing.Length() >= 4 && existing.ReadAt(0, magic, 4) && IsKnownMagic({magic, 4});
    if (known)
        return ExitOk;
    m_context.Report(argument, "not replaced: it exists and is not a BIG archive (it starts with \"" +
                                   PrintableMagic({magic, 4}) + "\"); --force replaces it anyway");
    return ExitProblems;
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
    std::error_code error;
    const auto links = std::filesystem::hard_link_count(path, error);
    const int status = WriteWithProgress(argument, [&] { return m_archive.SaveAs(path); });
    if (status == ExitOk && !error && links > 1)
        m_context.Report(argument, "note: the file had " + std::to_string(links - 1) +
                                       " other name(s) (hard links), which keep the old content; --in-place "
                                       "changes the one file all its names share");
    return status;
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

int ToolArchive::ReadEntryBytes(int index, std::vector<std::uint8_t>& bytes, std::string& error)
{
    return ReadEntry(index, [&](std::span<const std::uint8_t> piece) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        return true;
    }, error);
}

int ToolArchive::ReadEntryText(int index, std::string& text)
{
    std::string error;
    const int status = ReadEntry(index, [&](std::span<const std::uint8_t> bytes) {
        text.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return true;
    }, error);
    if (status != ExitOk)
        m_context.Report(m_shownName, "entry \"" + m_archive.GetEntryName(index) + "\" not read: " + error);
    return status;
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
