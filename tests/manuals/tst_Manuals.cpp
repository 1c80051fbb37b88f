#include "BashCompletion.h"
#include "RoffManual.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::manuals;
using Kind = WordCompletion::Kind;

TEST(RoffManual, KeepsTheHelpTextLineForLineAndSafeFromRoff)
{
    const std::string page = RoffManualPage("kestrel-big", "Kestrel 1.0", R"(NAME
    kestrel-big - read BIG archives

OPTIONS
    -C DIR     Extract into DIR.
.starts like a request
    'quoted  and data\ini\x.ini
                   deeper
)");
    EXPECT_EQ(page, R"(.TH "KESTREL\-BIG" 1 "" "Kestrel 1.0" "User Commands"
.SH "NAME"
kestrel\-big \- read BIG archives
.SH "OPTIONS"
.nf
\-C DIR     Extract into DIR.
\&.starts like a request
\&'quoted  and data\eini\ex.ini
               deeper
.fi
)");
}

TEST(RoffManual, CommandManualsShareTheirRepeatedSectionsByReference)
{
    const std::string common = "COMMON OPTIONS\n    -q  Quiet.\n";
    const std::string safety = "WRITING SAFELY\n    Locks.\n";
    const ManualText commands[] = {
        {"tool add", "NAME\n    tool add - add\n\nSYNOPSIS\n    tool add A\n\n" + safety + '\n' + common},
        {"tool remove", "NAME\n    tool remove - remove\n\n" + safety + '\n' + common},
    };
    const std::string page = RoffManualPage("tool", "T", "NAME\n    tool - x\n\n" + common, commands, "COMMAND MANUALS");
    const std::string add = page.substr(page.find(".SS \"tool add\""));
    const std::string remove = page.substr(page.find(".SS \"tool remove\""));
    EXPECT_EQ(add.find("tool add \\- add"), std::string::npos) << "a command's NAME is its subsection title";
    EXPECT_NE(add.find(".B \"SYNOPSIS\"\n.RS 4\n.nf\ntool add A\n.fi\n.RE\n"), std::string::npos);
    EXPECT_NE(add.find(".B \"WRITING SAFELY\"\n.RS 4\n.nf\nLocks.\n"), std::string::npos);
    EXPECT_NE(add.find(".B \"COMMON OPTIONS\"\n.RS 4\nAs in the section of this name above.\n"), std::string::npos);
    EXPECT_NE(remove.find(".B \"WRITING SAFELY\"\n.RS 4\nAs for \\fBtool add\\fR above.\n"), std::string::npos);
}

// The completion reads the synopses the tool's manuals show, so it follows them when they change.
TEST(BashCompletion, ReadsArgumentsAndOptionValuesFromTheRealSynopses)
{
    const auto synopsisOf = [](std::string_view name) {
        for (const auto& command : cli::AllCommands()) {
            if (command.name == name)
                return ReadSynopsis(command.help.synopsis);
        }
        ADD_FAILURE() << name;
        return SynopsisWords{};
    };
    const auto kinds = [](const SynopsisWords& words) {
        std::vector<Kind> result;
        for (const auto& word : words.positional)
            result.push_back(word.kind);
        return result;
    };
    const struct
    {
        std::string_view command;
        std::vector<Kind> positional;
        bool repeats;
    } cases[] = {
        {"extract", {Kind::Archive, Kind::Entry}, true},
        {"add", {Kind::Archive, Kind::File}, true},
        {"pack", {Kind::Folder, Kind::File}, false},
        {"rename", {Kind::Archive, Kind::Entry, Kind::Entry}, false},
        {"verify", {Kind::Archive}, true},
    };
    for (const auto& c : cases) {
        const auto words = synopsisOf(c.command);
        EXPECT_EQ(kinds(words), c.positional) << c.command;
        EXPECT_EQ(words.lastRepeats, c.repeats) << c.command;
    }
    EXPECT_EQ(synopsisOf("extract").OptionValue("-C").kind, Kind::Folder);
    EXPECT_EQ(synopsisOf("pack").OptionValue("--format").choices, (std::vector<std::string>{"bigf", "big4"}));
    EXPECT_EQ(synopsisOf("ini").OptionValue("--game").choices, (std::vector<std::string>{"generals", "zerohour", "bfme"}));
    EXPECT_EQ(synopsisOf("ini").OptionValue("--line").kind, Kind::None) << "a line number is nothing to complete";
}
