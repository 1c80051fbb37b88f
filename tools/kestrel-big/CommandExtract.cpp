#include "Commands.h"
#include "ProgressBar.h"
#include "ToolArchive.h"

#include "archive/EntryPaths.h"
#include "base/AtomicFile.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

const OptionSpec Options[] = {
    {"directory", 'C', true},
};

class Extractor
{
public:
    Extractor(ToolContext& context, ToolArchive& archive, fs::path folder)
        : m_context(context), m_archive(archive), m_folder(std::move(folder))
    {
    }

    int Run(const std::vector<int>& selected)
    {
        std::uint64_t total = 0;
        for (const int index : selected)
            total += m_archive.Archive().GetEntrySize(index);
        ProgressBar bar(m_context.err, m_context.ShowsProgress(), "extract", selected.size(), total);
        m_bar = &bar;
        for (size_t i = 0; i < selected.size(); ++i) {
            Extract(selected[i]);
            bar.Update(i + 1, m_bytesDone);
        }
        return m_status;
    }

private:
    void Fail(int status, const std::string& subject, const std::string& reason)
    {
        m_bar->Finish();
        m_context.Report(subject, reason);
        m_status = std::max(m_status, status);
    }

    bool MakeFolder(const fs::path& folder)
    {
        // Entries of one folder usually follow each other: skip asking the file system again.
        if (folder == m_lastFolder)
            return true;
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            Fail(ExitFailure, folder.string(), "cannot create the folder: " + error.message());
            return false;
        }
        m_lastFolder = folder;
        return true;
    }

    void Extract(int index)
    {
        const std::string& name = m_archive.Archive().GetEntryName(index);
        std::string reason;
        const auto target = ExtractionPath(m_folder, name, &reason);
        if (!target) {
            Fail(ExitProblems, m_archive.ShownName(), "entry \"" + name + "\" not extracted: " + reason);
            return;
        }
        if (!MakeFolder(target->parent_path()))
            return;
        AtomicFileWriter writer(*target);
        writer.SetSyncOnCommit(false);
        std::string error;
        int status = writer.Begin() ? ExitOk : ExitFailure;
        if (status == ExitOk) {
            status = m_archive.ReadEntry(index, [&](std::span<const std::uint8_t> bytes) {
                m_bytesDone += bytes.size();
                m_bar->Update(m_entriesDone, m_bytesDone);
                return writer.Write(bytes.data(), bytes.size());
            }, error);
        }
        if (status == ExitOk && !writer.Commit())
            status = ExitFailure;
        ++m_entriesDone;
        if (status == ExitOk)
            return;
        if (!writer.Error().empty())
            Fail(ExitFailure, target->string(), writer.Error());
        else
            Fail(status, m_archive.ShownName(), "entry \"" + name + "\" not extracted: " + error);
    }

    ToolContext& m_context;
    ToolArchive& m_archive;
    fs::path m_folder;
    fs::path m_lastFolder;
    ProgressBar* m_bar = nullptr;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_entriesDone = 0;
    int m_status = ExitOk;
};

} // namespace

const CommandDetails ExtractDetails = {
    "[-C DIR] ARCHIVE [FILTER...]",
    Options,
    1,
    Unlimited,
    R"(DESCRIPTION
    Writes every entry (or those the FILTERs select) to a file below DIR, in table order.
    The entry's name gives the file's path: '\' (and '/') separate folders, which are
    created as needed. Existing files are replaced; each file is written under a temporary
    name and renamed when complete, so an interrupted extract never leaves a half-written
    file under an entry's name. Of entries with the same name the last one in the table
    wins, as in the games.

    Names that would lead out of DIR are refused and the entry is skipped with a message: a
    ".." part, a leading '\' or '/', or a drive letter ("C:"). The other entries are still
    extracted.

OPTIONS
    -C DIR, --directory DIR
                Extract below DIR (created if missing) instead of the current folder.

EXIT STATUS
    0 everything extracted; 1 entries were skipped (refused names, entries outside the
    file, a damaged archive) or a filter selected nothing; 2 a file or folder could not be
    written, or the archive cannot be read.

EXAMPLES
    kestrel-big extract -C out INI.big
    kestrel-big extract Textures.big 'art/textures/*.dds' -C textures
)",
    true,
};

int RunExtract(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int status = archive.Open(args.positional[0], ArchiveUse::Read);
    if (status == ExitFailure)
        return status;
    const std::string folderArgument = args.Value("directory").value_or(".");
    const fs::path folder = context.Resolve(folderArgument);
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        context.Report(folderArgument, "cannot create the folder: " + error.message());
        return ExitFailure;
    }
    const std::vector<std::string> filters(args.positional.begin() + 1, args.positional.end());
    const auto selected = archive.SelectEntries(filters, status);
    return std::max(status, Extractor(context, archive, folder).Run(selected));
}

} // namespace kestrel::cli
