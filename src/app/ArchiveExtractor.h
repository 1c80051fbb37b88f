#pragma once

#include "app/ProblemList.h"
#include "archive/EntryExtraction.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {

class CBIGFile;
class IProgress;

/// Extract All: the shared extraction of every entry in table order below a folder, with the
/// editor's progress dialog and messages. An entry whose name would lead out of the folder (a
/// ".." part, a leading separator, a drive letter) or that cannot be read is skipped and listed;
/// a file or folder that cannot be written stops the work there.
class ArchiveExtractor : private IExtractObserver
{
public:
    ArchiveExtractor(CBIGFile& archive, IProgress& progress);

    /// False when the work stopped early (a write failed or the user cancelled).
    bool Run(const std::filesystem::path& folder);

    std::uint64_t FilesWritten() const { return m_written; }
    bool Cancelled() const { return m_cancelled; }
    const ProblemList& Skipped() const { return m_skipped; }
    /// What stopped the work, or empty.
    const std::string& Failure() const { return m_failure; }
    /// Everything the user should be told, or empty when all went well (or they cancelled).
    std::string Report() const;

private:
    bool Progress(const ExtractProgress& progress) override;
    bool Problem(int index, ExtractProblem problem, const std::filesystem::path& subject,
                 const std::string& reason) override;

    CBIGFile& m_archive;
    IProgress& m_progress;
    ProblemList m_skipped;
    std::string m_failure;
    std::uint64_t m_written = 0;
    bool m_cancelled = false;
};

} // namespace kestrel
