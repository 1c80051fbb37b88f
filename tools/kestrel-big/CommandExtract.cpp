#include "Commands.h"
#include "ImageEntry.h"
#include "ProgressBar.h"
#include "ToolArchive.h"

#include "archive/EntryExtraction.h"

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

/// Decoded pictures as PNG for --png.
class PngConversion : public IEntryConversion
{
public:
    explicit PngConversion(ToolArchive& archive) : m_archive(archive) {}

    std::optional<std::string> SuffixFor(std::string_view entryName) const override
    {
        return ExtractsAsPng(entryName) ? std::optional<std::string>(".png") : std::nullopt;
    }

    bool Convert(int index, std::vector<std::uint8_t>& bytes, std::string& error) override
    {
        m_status = EntryAsPng(m_archive, index, bytes, error);
        return m_status == ExitOk;
    }

    /// The exit status of the last failed conversion.
    int Status() const { return m_status; }

private:
    ToolArchive& m_archive;
    int m_status = ExitOk;
};

/// Reports what the shared extraction meets and keeps going past every problem.
class ExtractReport : public IExtractObserver
{
public:
    ExtractReport(ToolContext& context, ToolArchive& archive) : m_context(context), m_archive(archive) {}

    /// `conversion` is null without --png.
    int Run(const std::vector<int>& selected, const fs::path& folder, PngConversion* conversion,
            const ExtractOptions& options)
    {
        std::uint64_t total = 0;
        for (const int index : selected)
            total += m_archive.Archive().GetEntrySize(index);
        ProgressBar bar(m_context.err, m_context.ShowsProgress(), "extract", selected.size(), total);
        m_bar = &bar;
        m_conversion = conversion;
        ExtractEntries(m_archive.Archive(), selected, folder, *this, conversion, options);
        return m_status;
    }

private:
    bool Progress(const ExtractProgress& progress) override
    {
        m_bar->Update(progress.entriesDone, progress.bytesDone);
        return true;
    }

    bool Problem(int index, ExtractProblem problem, const fs::path& subject, const std::string& reason) override
    {
        const std::string entry = "entry \"" + m_archive.Archive().GetEntryName(index) + "\" ";
        switch (problem) {
        case ExtractProblem::RefusedName:
        case ExtractProblem::OutsideFile: Fail(ExitProblems, m_archive.ShownName(), entry + "not extracted: " + reason); break;
        case ExtractProblem::ReadFailed: Fail(ExitFailure, m_archive.ShownName(), entry + "not extracted: " + reason); break;
        case ExtractProblem::NotConverted:
            Fail(m_conversion->Status(), m_archive.ShownName(), entry + "not converted: " + reason);
            break;
        case ExtractProblem::FolderNotCreated:
            Fail(ExitFailure, subject.string(), "cannot create the folder: " + reason);
            break;
        case ExtractProblem::FileNotWritten: Fail(ExitFailure, subject.string(), reason); break;
        case ExtractProblem::KeptExisting: Fail(ExitProblems, subject.string(), "kept: the file exists (--no-overwrite)"); break;
        }
        return true;
    }

    void Fail(int status, const std::string& subject, const std::string& reason)
    {
        m_bar->Finish();
        m_context.Report(subject, reason);
        m_status = std::max(m_status, status);
    }

    ToolContext& m_context;
    ToolArchive& m_archive;
    PngConversion* m_conversion = nullptr;
    ProgressBar* m_bar = nullptr;
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
    PngConversion conversion(archive);
    const ExtractOptions options{args.Has("no-overwrite"), args.Has("strip-leading-slash")};
    return std::max(status, ExtractReport(context, archive)
                                .Run(selected, folder, args.Has("png") ? &conversion : nullptr, options));
}

} // namespace kestrel::cli
