#include "app/ArchiveExtractor.h"

#include "app/AppStrings.h"
#include "app/CommandDialogs.h"
#include "archive/CBIGFile.h"
#include "archive/EntryPaths.h"
#include "base/AtomicFile.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string Described(AppString text, const fs::path& subject, const std::string& reason)
{
    return ToBytes(Text(text).arg(FromBytes(subject.string()), FromBytes(reason)));
}

} // namespace

ArchiveExtractor::ArchiveExtractor(CBIGFile& archive, IProgress& progress) : m_archive(archive), m_progress(progress) {}

bool ArchiveExtractor::Run(const fs::path& folder)
{
    std::uint64_t total = 0;
    for (int i = 0; i < m_archive.GetEntryCount(); ++i)
        total += m_archive.GetEntrySize(i);
    std::uint64_t done = 0;
    for (int i = 0; i < m_archive.GetEntryCount(); ++i) {
        if (!m_progress.Update(done, total)) {
            m_cancelled = true;
            return false;
        }
        if (!Extract(i, folder))
            return false;
        done += m_archive.GetEntrySize(i);
    }
    m_progress.Update(total, total);
    return true;
}

bool ArchiveExtractor::Extract(int index, const fs::path& folder)
{
    const std::string& name = m_archive.GetEntryName(index);
    std::string reason;
    const auto target = ExtractionPath(folder, name, &reason);
    if (!target) {
        m_skipped.Add(name + ": " + reason);
        return true;
    }
    const auto bytes = m_archive.GetEntryBytes(index);
    if (!bytes) {
        m_skipped.Add(ToBytes(Text(AppString::CannotReadEntry).arg(FromBytes(name), FromBytes(m_archive.LastError()))));
        return true;
    }
    if (!MakeFolder(target->parent_path()))
        return false;
    // Thousands of small files: waiting for the disk after each would cost more than the copy.
    if (!WriteWholeFileAtomically(*target, bytes->data(), bytes->size(), false, reason)) {
        m_failure = Described(AppString::CannotWriteFile, *target, reason);
        return false;
    }
    ++m_written;
    return true;
}

bool ArchiveExtractor::MakeFolder(const fs::path& folder)
{
    // Entries of one folder usually follow each other in the table.
    if (folder == m_lastFolder)
        return true;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        m_failure = Described(AppString::CannotCreateFolder, folder, error.message());
        return false;
    }
    m_lastFolder = folder;
    return true;
}

std::string ArchiveExtractor::Report() const
{
    std::string report;
    if (!m_failure.empty())
        report = m_failure + "\n\n" + TextBytes(AppString::ExtractStopped);
    if (!m_skipped.Empty())
        report += (report.empty() ? "" : "\n\n") + m_skipped.Message(AppString::NotExtractedHeader);
    return report;
}

} // namespace kestrel
