#include "Commands.h"
#include "ImageEntry.h"
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
    {"png", 0, false},
    {"no-overwrite", 'k', false},
    {"strip-leading-slash", 0, false},
};

struct ExtractOptions
{
    bool imagesAsPng = false;
    bool keepExisting = false;
    bool stripLeadingSlash = false;
};

class Extractor
{
public:
    Extractor(ToolContext& context, ToolArchive& archive, fs::path folder, ExtractOptions options)
        : m_context(context), m_archive(archive), m_folder(std::move(folder)), m_options(options)
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
        const bool asPng = m_options.imagesAsPng && ExtractsAsPng(name);
        std::string_view path = name;
        if (m_options.stripLeadingSlash)
            path.remove_prefix(std::min(path.size(), path.find_first_not_of("\\/")));
        std::string reason;
        const auto target = ExtractionPath(m_folder, asPng ? std::string(path) + ".png" : std::string(path), &reason);
        if (!target) {
            Fail(ExitProblems, m_archive.ShownName(), "entry \"" + name + "\" not extracted: " + reason);
            return;
        }
        std::error_code present;
        if (m_options.keepExisting && fs::exists(fs::symlink_status(*target, present))) {
            KeepExisting(index, *target);
            return;
        }
        if (!MakeFolder(target->parent_path()))
            return;
        if (asPng) {
            ExtractAsPng(index, name, *target);
            return;
        }
        AtomicFileWriter writer(*target);
        writer.SetSyncOnCommit(false);
        writer.SetReplaceExisting(!m_options.keepExisting);
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
        if (writer.ExistedAlready())
            KeepExisting(index, *target);
        else if (!writer.Error().empty())
            Fail(ExitFailure, target->string(), writer.Error());
        else
            Fail(status, m_archive.ShownName(), "entry \"" + name + "\" not extracted: " + error);
    }

    /// Another program may create the file while the entry is written; it is kept then too.
    void KeepExisting(int index, const fs::path& target)
    {
        if (!m_options.keepExisting)
            return;
        m_bytesDone += m_archive.Archive().GetEntrySize(index);
        ++m_entriesDone;
        Fail(ExitProblems, target.string(), "kept: the file exists (--no-overwrite)");
    }

    void ExtractAsPng(int index, const std::string& name, const fs::path& target)
    {
        std::vector<std::uint8_t> png;
        std::string error;
        const int status = EntryAsPng(m_archive, index, png, error);
        m_bytesDone += m_archive.Archive().GetEntrySize(index);
        ++m_entriesDone;
        if (status != ExitOk)
            Fail(status, m_archive.ShownName(), "entry \"" + name + "\" not converted: " + error);
        else if (!WriteWholeFile(target, png, false, error))
            Fail(ExitFailure, target.string(), error);
    }

    ToolContext& m_context;
    ToolArchive& m_archive;
    fs::path m_folder;
    ExtractOptions m_options;
    fs::path m_lastFolder;
    ProgressBar* m_bar = nullptr;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_entriesDone = 0;
    int m_status = ExitOk;
};

} // namespace

const CommandDetails ExtractDetails = {
    "[-C DIR] [--png] [-k|--no-overwrite] [--strip-leading-slash] ARCHIVE [FILTER...]",
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
    extracted. "verify" lists such names.

OPTIONS
    -C DIR, --directory DIR
                Extract below DIR (created if missing) instead of the current folder.
    -k, --no-overwrite
                Keep files that exist already: such entries are not written, and each is
                reported ("kept"). Also holds for a file that appears while the entry is
                being written.
    --strip-leading-slash
                Extract names that start with '\' or '/' below DIR, without those leading
                separators, as tar does ("\data\x.ini" becomes DIR/data/x.ini).
    --png       Write image entries (.bmp, .tga, .dds, .jpg, .jpeg in the name, as the
                editor's preview decides) as PNG pictures decoded the way the editor shows
                them, named after the entry with ".png" appended: art\a.dds becomes
                art/a.dds.png. PNG entries and other entries are written unchanged. An
                image that does not decode is skipped with a message.

EXIT STATUS
    0 everything extracted; 1 entries were skipped (refused names, entries outside the
    file, a damaged archive, images that do not decode, files kept by --no-overwrite) or
    a filter selected nothing;
    2 a file or folder could not be written, or the archive cannot be read.

EXAMPLES
    kestrel-big extract -C out INI.big
    kestrel-big extract Textures.big 'art/textures/*.dds' -C textures
    kestrel-big extract --png Textures.big 'art/textures/*.tga' -C previews
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
    const auto selected = archive.SelectEntries(std::span(args.positional).subspan(1), status);
    const ExtractOptions options{args.Has("png"), args.Has("no-overwrite"), args.Has("strip-leading-slash")};
    return std::max(status, Extractor(context, archive, folder, options).Run(selected));
}

} // namespace kestrel::cli
