#include "AddFiles.h"

#include "archive/EntryGlob.h"
#include "ProgressBar.h"

#include "archive/BIGEntry.h"
#include "archive/CBIGFile.h"
#include "archive/EntryPaths.h"
#include "archive/FolderTreeWalk.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

class Collector : private IFolderTreeVisitor
{
public:
    Collector(const ToolContext& context, const NamingRule& rule, std::vector<FileToAdd>& files)
        : m_context(context), m_rule(rule), m_files(files)
    {
        if (rule.excluded)
            m_excluded = fs::absolute(*rule.excluded).lexically_normal();
        for (const auto& pattern : rule.excludePatterns) {
            const bool wholeName = pattern.find_first_of("\\/") != std::string::npos;
            (wholeName ? m_excludedNames : m_excludedParts).emplace_back(pattern);
        }
    }

    void Argument(const std::string& argument)
    {
        const fs::path path = m_context.Resolve(argument);
        std::error_code error;
        const auto status = fs::status(path, error);
        if (error) {
            Fail(ExitFailure, argument, "cannot add: " + error.message());
        } else if (fs::is_directory(status)) {
            if (const auto prefix = FolderPrefix(path))
                Walk(path, *prefix);
            else
                Fail(ExitFailure, argument, "not added: it does not lie below the base folder");
        } else if (fs::is_regular_file(status)) {
            AddFile(path, argument, NameOfFileArgument(path, argument), FileSize(path));
        } else {
            Fail(ExitProblems, argument, "skipped: not a regular file or folder");
        }
    }

    int Status() const { return m_status; }

private:
    void Fail(int status, const std::string& subject, const std::string& reason)
    {
        m_context.Report(subject, reason);
        m_status = std::max(m_status, status);
    }

    static std::uint64_t FileSize(const fs::path& path)
    {
        std::error_code ignored;
        const auto size = fs::file_size(path, ignored);
        return ignored ? 0 : size;
    }

    /// The name part that the entries below `folder` start with ("" for the base itself).
    std::optional<std::string> FolderPrefix(const fs::path& folder) const
    {
        const fs::path base = m_rule.base.value_or(EntryNameBaseOfFolder(folder));
        if (fs::absolute(folder).lexically_normal() == fs::absolute(base).lexically_normal())
            return "";
        return EntryNameRelativeTo(folder, base);
    }

    std::optional<std::string> NameOfFileArgument(const fs::path& path, const std::string& argument) const
    {
        if (m_rule.name)
            return EntryNameWithBackslashes(*m_rule.name);
        if (m_rule.base)
            return EntryNameRelativeTo(path, *m_rule.base);
        if (fs::path(argument).is_absolute())
            return ProposedEntryNameForFile(path);
        return EntryNameRelativeTo(path, m_context.workingFolder);
    }

    void AddFile(const fs::path& path, const std::string& shown, const std::optional<std::string>& name,
                 std::uint64_t size)
    {
        if (!name) {
            Fail(ExitFailure, shown,
                 m_rule.base ? "not added: it does not lie below the base folder"
                             : "not added: it lies outside the current folder; name it with --as or --base");
        } else if (name->size() > MaxEntryNameLength) {
            Fail(ExitProblems, shown,
                 "skipped: its entry name \"" + *name + "\" has " + std::to_string(name->size()) +
                     " characters, more than the " + std::to_string(MaxEntryNameLength) + " an archive holds");
        } else if (!m_excluded || fs::absolute(path).lexically_normal() != *m_excluded) {
            m_files.push_back({path, *name, size});
        }
    }

    void Walk(const fs::path& folder, const std::string& prefix) { WalkFolderTree(folder, prefix, *this); }

    Next File(const fs::directory_entry& file, const std::string& entryName) override
    {
        std::error_code error;
        const std::uint64_t size = file.file_size(error);
        AddFile(file.path(), file.path().string(), entryName, error ? 0 : size);
        return Next::Continue;
    }

    void Skipped(const fs::path& item, Skip why) override
    {
        Fail(ExitProblems, item.string(),
             why == Skip::LinkToFolder ? "skipped: a link to a folder is not followed"
                                       : "skipped: not a regular file or folder");
    }

    void Unreadable(const fs::path& folder, const std::string& reason) override
    {
        Fail(ExitFailure, folder.string(), "cannot read the folder: " + reason);
    }

    bool Leaves(const std::string& name, const std::string& part) const override
    {
        const auto matches = [](const std::vector<EntryGlob>& globs, const std::string& text) {
            return std::any_of(globs.begin(), globs.end(), [&](const EntryGlob& glob) { return glob.Matches(text); });
        };
        return matches(m_excludedParts, part) || matches(m_excludedNames, name);
    }

    const ToolContext& m_context;
    const NamingRule& m_rule;
    std::vector<EntryGlob> m_excludedParts;
    std::vector<EntryGlob> m_excludedNames;
    std::vector<FileToAdd>& m_files;
    std::optional<fs::path> m_excluded;
    int m_status = ExitOk;
};

} // namespace

int CollectFiles(const ToolContext& context, const std::vector<std::string>& arguments, const NamingRule& rule,
                 std::vector<FileToAdd>& files)
{
    Collector collector(context, rule, files);
    for (const auto& argument : arguments)
        collector.Argument(argument);
    return collector.Status();
}

int AddFilesToArchive(const ToolContext& context, CBIGFile& archive, const std::vector<FileToAdd>& files,
                      const char* label)
{
    std::uint64_t totalBytes = 0;
    for (const auto& file : files)
        totalBytes += file.size;
    ProgressBar bar(context.err, context.ShowsProgress(), label, files.size(), totalBytes);
    int status = ExitOk;
    std::uint64_t bytesDone = 0;
    archive.DeferSorting(true);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!archive.AddEntry(&files[i].path, files[i].entryName)) {
            bar.Finish();
            context.Report(files[i].path.string(), "not added: " + archive.LastError());
            status = ExitFailure;
        }
        bytesDone += files[i].size;
        bar.Update(i + 1, bytesDone);
    }
    archive.DeferSorting(false);
    return status;
}

int NothingWritten(const ToolContext& context, const std::string& archive)
{
    context.Report(archive, "left as it was: nothing is added when a file cannot be read");
    return ExitFailure;
}

} // namespace kestrel::cli
