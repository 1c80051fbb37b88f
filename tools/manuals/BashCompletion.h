#pragma once

#include "Commands.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::manuals {

/// How the shell completes a word: an archive file, entry names of the archive, a file, a folder,
/// one of fixed choices, or nothing.
struct WordCompletion
{
    enum class Kind { Archive, Entry, File, Folder, Choice, None };
    Kind kind = Kind::None;
    std::vector<std::string> choices;
};

/// What completion learns from a command's synopsis (its first line), the text the manual
/// shows: "[-C DIR] [--png] ARCHIVE [FILTER...]".
struct SynopsisWords
{
    /// The positional arguments in order; the last repeats when `lastRepeats`.
    std::vector<WordCompletion> positional;
    bool lastRepeats = false;
    /// Options shown with a placeholder ("-C DIR"), by the word the synopsis spells them with.
    std::vector<std::pair<std::string, WordCompletion>> optionValues;

    /// The value of `option` ("-C" or "--directory"); None when the synopsis does not show it.
    WordCompletion OptionValue(std::string_view option) const;
};

/// Options in brackets ("[-l|--long]", "[--format bigf|big4]") are not arguments; a placeholder
/// ending in "..." repeats.
SynopsisWords ReadSynopsis(std::string_view synopsis);

/// The bash completion script for kestrel-big: commands, each command's options, and for the
/// arguments files, folders, choices or the entry names of the archive named on the line (which
/// it asks the tool itself for).
std::string BashCompletionScript(std::span<const cli::Command> commands);

} // namespace kestrel::manuals
