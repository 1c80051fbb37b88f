#include "RoffManual.h"

#include <algorithm>
#include <map>
#include <vector>

namespace kestrel::manuals {
namespace {

struct Section
{
    std::string heading;
    std::vector<std::string> lines;

    std::string Key() const
    {
        std::string key = heading;
        for (const auto& line : lines)
            key.append("\n").append(line);
        return key;
    }
};

bool IsHeading(std::string_view line)
{
    return !line.empty() && line.front() != ' ' && std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || c == ' ';
    });
}

std::vector<Section> SplitSections(std::string_view text)
{
    std::vector<Section> sections;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (IsHeading(line)) {
            sections.push_back({std::string(line), {}});
            continue;
        }
        if (sections.empty())
            sections.push_back({});
        const size_t indent = std::min(line.find_first_not_of(' '), size_t{4});
        line.remove_prefix(std::min(indent, line.size()));
        sections.back().lines.emplace_back(line);
    }
    for (auto& section : sections) {
        while (!section.lines.empty() && section.lines.back().empty())
            section.lines.pop_back();
    }
    return sections;
}

/// One line of text as roff reads it literally. Every '-' is escaped: options must stay ASCII
/// minus signs when copied from the page, and "name \- summary" is what whatis looks for.
std::string Escaped(std::string_view line)
{
    std::string out;
    if (!line.empty() && (line.front() == '.' || line.front() == '\''))
        out += "\\&";
    for (const char c : line) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string Quoted(std::string_view text)
{
    return "\"" + Escaped(text) + "\"";
}

void AppendLines(std::string& out, const std::vector<std::string>& lines)
{
    out += ".nf\n";
    for (const auto& line : lines)
        out += Escaped(line) + '\n';
    out += ".fi\n";
}

} // namespace

std::string RoffManualPage(std::string_view name, std::string_view source, std::string_view page,
                           std::span<const ManualText> subpages, std::string_view subpagesHeading)
{
    std::string upperName(name);
    std::transform(upperName.begin(), upperName.end(), upperName.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    std::string out = ".TH " + Quoted(upperName) + " 1 \"\" " + Quoted(source) + " \"User Commands\"\n";

    // Where each section's text first appeared: empty for the page itself.
    std::map<std::string, std::string, std::less<>> seen;
    for (const auto& section : SplitSections(page)) {
        seen.emplace(section.Key(), std::string());
        out += ".SH " + Quoted(section.heading) + '\n';
        if (section.heading == "NAME") {
            // One filled line, so that whatis and apropos find the summary.
            std::string joined;
            for (const auto& line : section.lines)
                joined += (joined.empty() ? "" : " ") + line;
            out += Escaped(joined) + '\n';
        } else {
            AppendLines(out, section.lines);
        }
    }

    if (!subpages.empty())
        out += ".SH " + Quoted(subpagesHeading) + '\n';
    for (const auto& subpage : subpages) {
        out += ".SS " + Quoted(subpage.title) + '\n';
        for (const auto& section : SplitSections(subpage.text)) {
            if (section.heading == "NAME")
                continue;
            out += ".PP\n.B " + Quoted(section.heading) + "\n.RS 4\n";
            const auto [first, isNew] = seen.emplace(section.Key(), subpage.title);
            if (isNew)
                AppendLines(out, section.lines);
            else if (first->second.empty())
                out += "As in the section of this name above.\n";
            else
                out += "As for \\fB" + Escaped(first->second) + "\\fR above.\n";
            out += ".RE\n";
        }
    }
    return out;
}

} // namespace kestrel::manuals
