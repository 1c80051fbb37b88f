#include "archive/ExternalEdit.h"

#include "archive/CQuartoDoc.h"
#include "archive/EditorTable.h"
#include "base/AsciiCase.h"

#include <cstdint>

namespace kestrel {
namespace {

constexpr std::string_view FilePlaceholder = "%1";

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitCommandWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true; // "" is an empty argument
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

void ReplaceAll(std::string& text, std::string_view what, const std::string& with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

std::string ExternalEditFileName(std::string_view entryName)
{
    const size_t separator = entryName.find_last_of("\\/");
    return "KesTemp" + std::string(separator == std::string_view::npos ? entryName : entryName.substr(separator + 1));
}

std::optional<EditorCommand> BuildEditorCommand(std::string_view editor, const std::string& filePath,
                                                const std::function<bool(const std::string&)>& isProgramFile)
{
    const std::string_view typed = Trimmed(editor);
    std::vector<std::string> words;
    if (!typed.empty() && isProgramFile && isProgramFile(std::string(typed)))
        words.emplace_back(typed);
    else
        words = SplitCommandWords(typed);
    if (words.empty() || words.front().empty())
        return std::nullopt;

    EditorCommand command{words.front(), {words.begin() + 1, words.end()}};
    bool placed = false;
    for (std::string& argument : command.arguments) {
        if (argument.find(FilePlaceholder) != std::string::npos) {
            ReplaceAll(argument, FilePlaceholder, filePath);
            placed = true;
        }
    }
    if (!placed)
        command.arguments.push_back(filePath);
    return command;
}

std::vector<std::string> EditorCandidates(std::string_view editor)
{
    std::vector<std::string> candidates{std::string(editor)};
#ifndef _WIN32
    if (EqualsIgnoringAsciiCase(Trimmed(editor), EditorTable::FallbackEditor))
        candidates.emplace_back(EditorTable::DesktopOpener);
#endif
    return candidates;
}

TakeBackResult TakeBackExternalEdit(CQuartoDoc& document, const std::string& entryName, const std::string& bytes)
{
    TakeBackResult result = TakeBackResult::EntryGone;
    CBIGFile& archive = document.GetArchive();
    const int index = archive.FindEntry(entryName);
    if (index >= 0) {
        const bool taken = archive.SetEntryData(index, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                static_cast<std::int64_t>(bytes.size())) != 0;
        result = taken ? TakeBackResult::TakenBack : TakeBackResult::Refused;
        if (taken)
            document.SetModifiedFlag(true);
    }
    document.UnlockEntry(entryName);
    return result;
}

} // namespace kestrel
