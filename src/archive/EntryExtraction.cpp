#include "archive/EntryExtraction.h"

#include "archive/CBIGFile.h"
#include "archive/EntryPaths.h"
#include "base/AtomicFile.h"

#include <algorithm>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

/// `existed` tells when `replace` is false and the target was there when the file was to take its name.
EntryFileResult WriteEntryFile(CBIGFile& archive, int index, const fs::path& target, bool sync, bool replace,
                               bool& existed, std::string& error,
                               const std::function<bool(std::uint64_t written)>& between)
{
    AtomicFileWriter writer(target);
    writer.SetSyncOnCommit(sync);
    writer.SetReplaceExisting(replace);
    if (!writer.Begin()) {
        error = writer.Error();
        return EntryFileResult::WriteFailed;
    }
    bool cancelled = false;
    const auto read = archive.ReadEntryPieces(index, [&](std::span<const std::uint8_t> piece) {
        if (writer.BytesWritten() > 0 && between && !between(writer.BytesWritten())) {
            cancelled = true;
            return false;
        }
        return writer.Write(piece.data(), piece.size());
    });
    switch (read) {
    case CBIGFile::PieceRead::Read: break;
    case CBIGFile::PieceRead::Stopped:
        if (cancelled)
            return EntryFileResult::Cancelled;
        error = writer.Error();
        return EntryFileResult::WriteFailed;
    case CBIGFile::PieceRead::OutsideFile: error = archive.LastError(); return EntryFileResult::OutsideFile;
    case CBIGFile::PieceRead::NoSuchEntry:
    case CBIGFile::PieceRead::ReadFailed: error = archive.LastError(); return EntryFileResult::ReadFailed;
    }
    if (!writer.Commit()) {
        existed = writer.ExistedAlready();
        error = writer.Error();
        return EntryFileResult::WriteFailed;
    }
    return EntryFileResult::Written;
}

class FolderExtraction
{
public:
    FolderExtraction(CBIGFile& archive, const fs::path& folder, IExtractObserver& observer,
                     IEntryConversion* conversion, const ExtractOptions& options)
        : m_archive(archive), m_folder(folder), m_observer(observer), m_conversion(conversion), m_options(options)
    {
    }

    ExtractSummary Run(std::span<const int> indices)
    {
        m_progress.entryCount = indices.size();
        for (const int index : indices)
            m_progress.bytesTotal += m_archive.GetEntrySize(index);
        for (const int index : indices) {
            if (!m_observer.Progress(m_progress)) {
                m_summary.cancelled = true;
                return m_summary;
            }
            const std::uint64_t bytesBefore = m_progress.bytesDone;
            if (!Extract(index))
                return m_summary;
            m_progress.bytesDone = bytesBefore + m_archive.GetEntrySize(index);
            ++m_progress.entriesDone;
        }
        m_observer.Progress(m_progress);
        return m_summary;
    }

private:
    /// False when the extraction ends here.
    bool Extract(int index)
    {
        const std::string& name = m_archive.GetEntryName(index);
        const std::optional<std::string> suffix = m_conversion ? m_conversion->SuffixFor(name) : std::nullopt;
        std::string_view path = name;
        if (m_options.stripLeadingSlash)
            path.remove_prefix(std::min(path.size(), path.find_first_not_of("\\/")));
        std::string reason;
        const auto target = ExtractionPath(m_folder, std::string(path) + suffix.value_or(""), &reason);
        if (!target)
            return Report(index, ExtractProblem::RefusedName, {}, reason);
        std::error_code present;
        if (m_options.keepExisting && fs::exists(fs::symlink_status(*target, present)))
            return Report(index, ExtractProblem::KeptExisting, *target, "the file exists");
        if (!MakeFolder(index, target->parent_path()))
            return !m_summary.stopped;
        return suffix ? WriteConverted(index, *target) : WriteEntry(index, *target);
    }

    bool WriteEntry(int index, const fs::path& target)
    {
        const std::uint64_t bytesBefore = m_progress.bytesDone;
        std::string error;
        bool existed = false;
        const EntryFileResult result = WriteEntryFile(
            m_archive, index, target, false, !m_options.keepExisting, existed, error, [&](std::uint64_t written) {
                m_progress.bytesDone = bytesBefore + written;
                return m_observer.Progress(m_progress);
            });
        // Another program may create the file while the entry is written; it is kept then too.
        if (existed)
            return Report(index, ExtractProblem::KeptExisting, target, "the file exists");
        switch (result) {
        case EntryFileResult::Written: ++m_summary.filesWritten; return true;
        case EntryFileResult::Cancelled: m_summary.cancelled = true; return false;
        case EntryFileResult::OutsideFile: return Report(index, ExtractProblem::OutsideFile, {}, error);
        case EntryFileResult::ReadFailed: return Report(index, ExtractProblem::ReadFailed, {}, error);
        case EntryFileResult::WriteFailed: break;
        }
        return Report(index, ExtractProblem::FileNotWritten, target, error);
    }

    bool WriteConverted(int index, const fs::path& target)
    {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!m_conversion->Convert(index, bytes, error))
            return Report(index, ExtractProblem::NotConverted, {}, error);
        if (!WriteWholeFileAtomically(target, bytes.data(), bytes.size(), false, error))
            return Report(index, ExtractProblem::FileNotWritten, target, error);
        ++m_summary.filesWritten;
        return true;
    }

    bool MakeFolder(int index, const fs::path& folder)
    {
        // Entries of one folder usually follow each other: skip asking the file system again.
        if (folder == m_lastFolder)
            return true;
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            Report(index, ExtractProblem::FolderNotCreated, folder, error.message());
            return false;
        }
        m_lastFolder = folder;
        return true;
    }

    bool Report(int index, ExtractProblem problem, const fs::path& subject, const std::string& reason)
    {
        if (m_observer.Problem(index, problem, subject, reason))
            return true;
        m_summary.stopped = true;
        return false;
    }

    CBIGFile& m_archive;
    const fs::path& m_folder;
    IExtractObserver& m_observer;
    IEntryConversion* m_conversion;
    const ExtractOptions& m_options;
    fs::path m_lastFolder;
    ExtractProgress m_progress;
    ExtractSummary m_summary;
};

} // namespace

EntryFileResult ExtractEntryToFile(CBIGFile& archive, int index, const fs::path& target, bool sync,
                                   std::string& error, const std::function<bool(std::uint64_t written)>& between)
{
    bool existed = false;
    return WriteEntryFile(archive, index, target, sync, true, existed, error, between);
}

ExtractSummary ExtractEntries(CBIGFile& archive, std::span<const int> indices, const fs::path& folder,
                              IExtractObserver& observer, IEntryConversion* conversion, const ExtractOptions& options)
{
    return FolderExtraction(archive, folder, observer, conversion, options).Run(indices);
}

} // namespace kestrel
