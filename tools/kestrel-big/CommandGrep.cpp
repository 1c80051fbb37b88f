#include "Commands.h"
#include "ProgressBar.h"
#include "ToolArchive.h"

#include "archive/ContentSearch.h"

namespace kestrel::cli {
namespace {

const OptionSpec Options[] = {
    {"regex", 0, false},
    {"ignore-case", 'i', false},
};

/// Writes each match as grep does and reports unreadable entries.
class GrepOutput : public IContentSearchObserver
{
public:
    GrepOutput(ToolContext& context, ToolArchive& archive, size_t entries, std::uint64_t bytes)
        : m_context(context), m_archive(archive),
          m_bar(context.err, context.ShowsProgress(), "grep", entries, bytes)
    {
    }

    bool Progress(std::uint64_t bytesDone, std::uint64_t) override
    {
        m_bar.Update(0, bytesDone);
        return true;
    }

    void Found(const ContentMatch& match) override
    {
        const std::string& name = m_archive.Archive().GetEntryName(match.entry);
        if (match.binary)
            m_line = "Binary entry " + name + " matches\n";
        else
            m_line = name + ':' + std::to_string(match.line + 1) + ':' + match.text + '\n';
        m_context.out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
    }

    void Problem(int entry, const std::string& reason) override
    {
        m_bar.Finish();
        m_context.Report(m_archive.ShownName(),
                         "entry \"" + m_archive.Archive().GetEntryName(entry) + "\" not searched: " + reason);
    }

    void Finish() { m_bar.Finish(); }

private:
    ToolContext& m_context;
    ToolArchive& m_archive;
    ProgressBar m_bar;
    std::string m_line;
};

} // namespace

const CommandDetails GrepDetails = {
    "[--regex] [-i] PATTERN ARCHIVE [FILTER...]",
    Options,
    2,
    Unlimited,
    R"(DESCRIPTION
    Searches the contents of the archive's entries (those the FILTERs select, else all) for
    PATTERN and prints each matching line as ENTRY:LINE:TEXT, lines numbered from 1, in the
    order of the archive's table. An entry holding zero bytes near its start (a model, a
    texture) is binary: a match in it prints "Binary entry ENTRY matches" once. Entries are
    read one piece at a time, so archives of any size are searched in little memory.

OPTIONS
    --regex            PATTERN is a regular expression (ECMAScript syntax, as in
                       JavaScript), matched against each line.
    -i, --ignore-case  Letters match in either case.

EXIT STATUS
    0 a line matched; 1 nothing matched; 2 the archive or an entry could not be read (the
    rest is still searched), the archive is damaged, or PATTERN is not usable. A FILTER
    that selects nothing is reported without changing the status.

EXAMPLES
    kestrel-big grep -i 'Damage = 50' INI.big 'data/ini/**.ini'
    kestrel-big grep --regex '^Object [A-Z]+Tank' INIZH.big
)",
    true,
};

int RunGrep(ToolContext& context, const Arguments& args)
{
    ContentSearchOptions options;
    options.pattern = args.positional[0];
    options.regex = args.Has("regex");
    options.ignoreCase = args.Has("ignore-case");
    std::string error;
    const auto search = ContentSearch::Create(options, error);
    if (!search) {
        context.Report("PATTERN", error);
        return ExitFailure;
    }
    ToolArchive archive(context);
    const int opened = archive.Open(args.positional[1], ArchiveUse::Read);
    if (opened == ExitFailure)
        return opened;
    int filtered = ExitOk; // a filter that selects nothing is reported; grep's status stays
    const auto selected = archive.SelectEntries(std::span(args.positional).subspan(2), filtered);
    std::uint64_t bytes = 0;
    for (const int index : selected)
        bytes += archive.Archive().GetEntrySize(index);
    GrepOutput output(context, archive, selected.size(), bytes);
    const ContentSearchSummary summary = search->Run(archive.Archive(), selected, output);
    output.Finish();
    if (opened != ExitOk || summary.entriesUnreadable > 0)
        return ExitFailure;
    return summary.matches > 0 ? ExitOk : ExitProblems;
}

} // namespace kestrel::cli
