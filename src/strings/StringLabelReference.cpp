#include "strings/StringLabelReference.h"

#include "archive/CBIGFile.h"
#include "base/AsciiCase.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kestrel {
namespace {

constexpr bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool IsWordCharacter(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

constexpr bool IsLabelCharacter(char c)
{
    return IsWordCharacter(c) || c == ':' || c == '-' || c == '.';
}

// Keys the games translate through the string table, from their data: every key ending in
// "Label" (TextLabel, DescriptLabel, CampaignNameLabel, ...) and these.
constexpr std::array<std::string_view, 7> LabelKeys = {
    "DisplayName", "Description", "TooltipName", "GeneralName", "RankName", "CursorText", "ArmyTooltip",
};
constexpr std::array<std::string_view, 2> NumberedLabelKeys = {"UnitNames", "ObjectiveLine"};

std::string_view WithoutComment(std::string_view line)
{
    return line.substr(0, std::min(line.find(';'), line.find("//")));
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool LooksLikeLabel(std::string_view token, bool afterLabelKey)
{
    const bool hasLetter = std::any_of(token.begin(), token.end(), IsLetter);
    if (afterLabelKey)
        return hasLetter;
    // A one-letter category is a coordinate or a colour channel ("X:10", "R:255"), never a label.
    const std::size_t colon = token.find(':');
    if (colon == std::string_view::npos || colon < 2 || colon + 1 == token.size() || !IsLetter(token[0]))
        return false;
    const std::string_view category = token.substr(0, colon);
    const std::string_view name = token.substr(colon + 1);
    return std::all_of(category.begin(), category.end(), IsWordCharacter) &&
           std::any_of(name.begin(), name.end(), IsLetter);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

bool IsLabelKey(std::string_view key)
{
    constexpr std::string_view Suffix = "Label";
    if (key.size() >= Suffix.size() && EqualsIgnoringAsciiCase(key.substr(key.size() - Suffix.size()), Suffix))
        return true;
    const auto named = [key](std::string_view known) { return EqualsIgnoringAsciiCase(key, known); };
    const auto numbered = [key](std::string_view known) {
        return StartsWithIgnoringCase(key, known) && key.size() > known.size() &&
               std::all_of(key.begin() + static_cast<std::ptrdiff_t>(known.size()), key.end(),
                           [](char c) { return c >= '0' && c <= '9'; });
    };
    return std::any_of(LabelKeys.begin(), LabelKeys.end(), named) ||
           std::any_of(NumberedLabelKeys.begin(), NumberedLabelKeys.end(), numbered);
}

std::optional<LabelReference> LabelInIniLine(std::string_view line, std::optional<std::size_t> column)
{
    const std::string_view text = WithoutComment(line);
    // Values follow "=", or, on a line without one, the first word.
    std::size_t valuesStart = text.find('=');
    std::string_view key;
    if (valuesStart != std::string_view::npos) {
        key = Trimmed(text.substr(0, valuesStart));
        ++valuesStart;
    } else {
        const std::string_view trimmed = Trimmed(text);
        key = trimmed.substr(0, std::min(trimmed.find_first_of(" \t"), trimmed.size()));
        valuesStart = static_cast<std::size_t>(key.data() - text.data()) + key.size();
    }
    const bool afterLabelKey = IsLabelKey(key);

    std::optional<LabelReference> first;
    for (std::size_t at = valuesStart; at < text.size();) {
        if (!IsLabelCharacter(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && IsLabelCharacter(text[end]))
            ++end;
        const std::string_view token = text.substr(at, end - at);
        if (LooksLikeLabel(token, afterLabelKey)) {
            LabelReference found{std::string(token), at, end};
            if (column && *column >= at && *column <= end)
                return found;
            if (!first)
                first = std::move(found);
        }
        at = end;
    }
    return first;
}

bool IsStringTableEntryName(std::string_view name)
{
    return AsciiLowered(name).find(".csf") != std::string::npos;
}

std::optional<LabelLocation> FindLabelInArchives(std::span<CBIGFile* const> archives, std::string_view label)
{
    for (std::size_t a = 0; a < archives.size(); ++a) {
        CBIGFile& archive = *archives[a];
        for (int entry = 0; entry < archive.GetEntryCount(); ++entry) {
            const std::string& name = archive.GetEntryName(entry);
            if (!IsStringTableEntryName(name))
                continue;
            const std::optional<std::vector<std::uint8_t>> bytes = archive.GetEntryBytes(entry);
            if (!bytes)
                continue;
            const CsfReadResult read = ReadCsf(*bytes);
            if (const CsfLabel* found = read.table.FindLabel(label))
                return LabelLocation{a, entry, name, *found};
        }
    }
    return std::nullopt;
}

} // namespace kestrel
