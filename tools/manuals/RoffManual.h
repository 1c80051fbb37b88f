#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kestrel::manuals {

/// A manual in the plain-text form the programs print for --help: each section's name alone on
/// a line at the margin (capitals), its text below, indented by four blanks.
struct ManualText
{
    std::string title;
    std::string text;
};

/// The man(7) source of a section 1 page `name`, from `source` ("Kestrel 0.1.0"). The sections of
/// `page` become the page's sections; each of `subpages` becomes a subsection of a last section
/// `subpagesHeading`, without its NAME. A section that repeats one printed before (the common
/// options every command's manual ends with) is replaced by a reference to the first.
/// Text is kept line for line, as --help shows it.
std::string RoffManualPage(std::string_view name, std::string_view source, std::string_view page,
                           std::span<const ManualText> subpages = {}, std::string_view subpagesHeading = {});

} // namespace kestrel::manuals
