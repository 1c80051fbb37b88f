#include "BashCompletion.h"

#include <map>

namespace kestrel::manuals {
namespace {

using Kind = WordCompletion::Kind;

std::vector<std::string> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    while (true) {
        const size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

/// The completion of a placeholder; `fallback` for names that tell nothing (an argument "A" is a
/// file, an option's "LINE" is nothing to complete).
WordCompletion Classify(std::string_view word, Kind fallback)
{
    if (word.find('|') != std::string_view::npos)
        return {Kind::Choice, SplitAt(word, '|')};
    static const std::map<std::string_view, Kind> Known = {
        {"ARCHIVE", Kind::Archive}, {"ENTRY", Kind::Entry}, {"FILTER", Kind::Entry}, {"OLD", Kind::Entry},
        {"NEW", Kind::Entry},       {"DIR", Kind::Folder},  {"BASE", Kind::Folder},  {"FILE", Kind::File},
        {"PATH", Kind::File},       {"OUT", Kind::File},
    };
    const auto known = Known.find(word.substr(0, word.find('.')));
    return {known != Known.end() ? known->second : fallback, {}};
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const auto& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

/// The shell's words for the option: "--long" and "-s".
std::vector<std::string> OptionWords(const cli::OptionSpec& option)
{
    std::vector<std::string> words{"--" + std::string(option.longName)};
    if (option.shortName != 0)
        words.push_back(std::string("-") + option.shortName);
    return words;
}

constexpr std::string_view ScriptStart = R"(# bash completion for kestrel-big, generated from the tool's command table at build time.

# The entry names of archive $2 (as the kestrel-big $1 lists them) that begin with $3, one folder
# at a time as paths complete. '\' is shown as '/', which the tool reads the same way.
_kestrel_big_entries()
{
    local tool=$1 archive=$2
    [[ -f $archive ]] || return
    "$tool" list --quiet -- "$archive" 2>/dev/null | cut -c13- | tr '\\' / |
        KESTREL_PREFIX=${3//\\//} awk '
            BEGIN { prefix = tolower(ENVIRON["KESTREL_PREFIX"]); n = length(prefix) }
            tolower(substr($0, 1, n)) == prefix {
                slash = index(substr($0, n + 1), "/")
                print slash ? substr($0, 1, n + slash) : $0
            }' | sort -u
}

# Completes the value of option $2 of command $1.
_kestrel_big_value()
{
    case "$1 $2" in
)";

constexpr std::string_view ScriptMiddle = R"(_kestrel_big()
{
    local cur prev words cword split
    _init_completion -s || return

    local i command='' at=0
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command=${words[i]} at=$i
            break
        fi
    done
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--version $_kestrel_big_options" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "help $_kestrel_big_commands" -- "$cur"))
        fi
        return
    fi

    local options='' valued='' kinds='' repeats=''
    case $command in
        help)
            ((cword == at + 1)) && COMPREPLY=($(compgen -W "$_kestrel_big_commands" -- "$cur"))
            return
            ;;
)";

constexpr std::string_view ScriptEnd = R"(        *) return ;;
    esac

    if [[ " $valued " == *" $prev "* ]]; then
        _kestrel_big_value "$command" "$prev"
        return
    fi
    $split && return
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    # Which argument is being typed: options and their values do not count.
    local -a arguments=()
    local only_arguments=''
    for ((i = at + 1; i < cword; i++)); do
        if [[ $only_arguments || ${words[i]} != -?* ]]; then
            arguments+=("${words[i]}")
        elif [[ ${words[i]} == -- ]]; then
            only_arguments=1
        elif [[ ${words[i]} != *=* && " $valued " == *" ${words[i]} "* ]]; then
            ((i++))
        fi
    done
    local -a kind_list=($kinds)
    local kind=${kind_list[${#arguments[@]}]:-}
    [[ -z $kind && $repeats ]] && kind=${kind_list[-1]}
    case $kind in
        archive | file) _filedir ;;
        folder) _filedir -d ;;
        entry)
            local IFS=$'\n'
            COMPREPLY=($(_kestrel_big_entries "${words[0]/#\~/$HOME}" "${arguments[0]/#\~/$HOME}" "$cur"))
            # Names may hold blanks, which the shell must quote; a folder goes on with its entries.
            compopt -o filenames
            if ((${#COMPREPLY[@]} == 1)) && [[ ${COMPREPLY[0]} == */ ]]; then
                compopt -o nospace
            fi
            ;;
    esac
}
complete -F _kestrel_big kestrel-big
)";

std::string_view KindWord(Kind kind)
{
    switch (kind) {
    case Kind::Archive:
        return "archive";
    case Kind::Entry:
        return "entry";
    case Kind::File:
        return "file";
    case Kind::Folder:
        return "folder";
    case Kind::Choice:
    case Kind::None:
        break;
    }
    return "none";
}

std::string ValueAction(const WordCompletion& value)
{
    switch (value.kind) {
    case Kind::Folder:
        return "_filedir -d";
    case Kind::Archive:
    case Kind::File:
        return "_filedir";
    case Kind::Choice:
        return "COMPREPLY=($(compgen -W '" + Joined(value.choices) + "' -- \"$cur\"))";
    case Kind::Entry:
    case Kind::None:
        break;
    }
    return {};
}

/// The command's branches of the script: how its option values complete (`valueCases`) and its
/// options and arguments (`commandCases`).
void AppendCommandCases(const cli::Command& command, std::string& valueCases, std::string& commandCases)
{
    const SynopsisWords synopsis = ReadSynopsis(command.help.synopsis);
    std::vector<std::string> options;
    std::vector<std::string> valued;
    for (const auto& option : cli::CommandOptions(command)) {
        const auto words = OptionWords(option);
        options.insert(options.end(), words.begin(), words.end());
        if (!option.takesValue)
            continue;
        valued.insert(valued.end(), words.begin(), words.end());
        WordCompletion value;
        for (const auto& word : words) {
            if (value.kind == Kind::None)
                value = synopsis.OptionValue(word);
        }
        if (const auto action = ValueAction(value); !action.empty()) {
            std::string patterns;
            for (const auto& word : words)
                patterns += (patterns.empty() ? "'" : " | '") + std::string(command.name) + ' ' + word + '\'';
            valueCases += "        " + patterns + ") " + action + " ;;\n";
        }
    }
    // Entry names come from the archive named first, so only a command that starts with one
    // completes them.
    const bool namesArchive = !synopsis.positional.empty() && synopsis.positional.front().kind == Kind::Archive;
    std::vector<std::string> kinds;
    for (const auto& word : synopsis.positional)
        kinds.emplace_back(KindWord(word.kind == Kind::Entry && !namesArchive ? Kind::File : word.kind));
    commandCases += "        " + std::string(command.name) + ")\n            options='" + Joined(options) +
                    "'\n            valued='" + Joined(valued) + "'\n            kinds='" + Joined(kinds) + "'" +
                    (synopsis.lastRepeats ? " repeats=1" : "") + "\n            ;;\n";
}

} // namespace

WordCompletion SynopsisWords::OptionValue(std::string_view option) const
{
    for (const auto& [name, value] : optionValues) {
        if (name == option)
            return value;
    }
    return {};
}

SynopsisWords ReadSynopsis(std::string_view synopsis)
{
    SynopsisWords result;
    const std::string_view line = synopsis.substr(0, synopsis.find('\n'));
    int depth = 0;
    int optionGroupDepth = -1; // depth of the "[-..." group being read, -1 outside one
    std::string word;
    std::string option; // the option a following placeholder is the value of
    const auto flush = [&] {
        if (word.empty() || word == "|" || word == "...") {
            option.clear();
        } else if (word.front() == '-') {
            option = SplitAt(word, '|').back();
        } else if (!option.empty()) {
            result.optionValues.emplace_back(option, Classify(word, Kind::None));
            option.clear();
        } else if (optionGroupDepth < 0) {
            const bool repeats = word.ends_with("...");
            result.positional.push_back(Classify(repeats ? word.substr(0, word.size() - 3) : word, Kind::File));
            result.lastRepeats = repeats;
        }
        word.clear();
    };
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '[' || c == ']' || c == ' ')
            flush();
        if (c == '[' || c == ']')
            option.clear();
        if (c == '[') {
            if (optionGroupDepth < 0 && i + 1 < line.size() && line[i + 1] == '-')
                optionGroupDepth = depth;
            ++depth;
        } else if (c == ']') {
            if (--depth == optionGroupDepth)
                optionGroupDepth = -1;
        } else if (c != ' ') {
            word += c;
        }
    }
    flush();
    return result;
}

std::string BashCompletionScript(std::span<const cli::Command> commands)
{
    std::vector<std::string> names;
    std::string valueCases;
    std::string commandCases;
    for (const auto& command : commands) {
        names.emplace_back(command.name);
        AppendCommandCases(command, valueCases, commandCases);
    }
    std::vector<std::string> commonOptions;
    for (const auto& option : cli::CommonOptionSpecs()) {
        const auto words = OptionWords(option);
        commonOptions.insert(commonOptions.end(), words.begin(), words.end());
    }
    return std::string(ScriptStart) + valueCases + "    esac\n}\n\n_kestrel_big_commands='" + Joined(names) +
           "'\n_kestrel_big_options='" + Joined(commonOptions) + "'\n\n" + std::string(ScriptMiddle) + commandCases +
           std::string(ScriptEnd);
}

} // namespace kestrel::manuals
