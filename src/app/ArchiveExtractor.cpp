#include "app/ArchiveExtractor.h"

#include "app/AppStrings.h"
#include "app/CommandDialogs.h"
#include "archive/CBIGFile.h"

#include <numeric>
#include <vector>

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
    std::vector<int> all(static_cast<size_t>(m_archive.GetEntryCount()));
    std::iota(all.begin(), all.end(), 0);
    const ExtractSummary summary = ExtractEntries(m_archive, all, folder, *this);
    m_written = summary.filesWritten;
    m_cancelled = summary.cancelled;
    return !summary.cancelled && !summary.stopped;
}

bool ArchiveExtractor::Progress(const ExtractProgress& progress)
{
    return m_progress.Update(progress.bytesDone, progress.bytesTotal);
}

bool ArchiveExtractor::Problem(int index, ExtractProblem problem, const fs::path& subject, const std::string& reason)
{
    const std::string& name = m_archive.GetEntryName(index);
    switch (problem) {
    case ExtractProblem::RefusedName:
    case ExtractProblem::KeptExisting: // Extract All replaces files; listed should it ever keep one
        m_skipped.Add(name + ": " + reason);
        return true;
    case ExtractProblem::OutsideFile:
    case ExtractProblem::ReadFailed:
    case ExtractProblem::NotConverted:
        m_skipped.Add(ToBytes(Text(AppString::CannotReadEntry).arg(FromBytes(name), FromBytes(reason))));
        return true;
    case ExtractProblem::FolderNotCreated: m_failure = Described(AppString::CannotCreateFolder, subject, reason); break;
    case ExtractProblem::FileNotWritten: m_failure = Described(AppString::CannotWriteFile, subject, reason); break;
    }
    return false;
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
