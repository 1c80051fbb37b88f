#include "strings/StringTableText.h"

#include "strings/TextCursor.h"
#include "strings/UnicodeText.h"

namespace kestrel {
namespace {

constexpr std::string_view PoHeader = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
constexpr std::string_view ExtraComment = "#. extra: ";
constexpr std::string_view NoStringsComment = "#. no strings";

// One message as it is read: which field continuation lines extend, and what the comments said.
struct PoMessage
{
    std::optional<std::string> context;
    std::string id;
    std::string translation;
    std::string* field = nullptr;
    std::optional<std::string> extra;
    bool noStrings = false;
    bool complete = false;
};

std::optional<std::string> QuotedAfter(std::string_view line, size_t keywordLength)
{
    TextCursor cursor(line.substr(keywordLength));
    cursor.SkipSpaces();
    if (cursor.Peek() != '"')
        return std::nullopt;
    return cursor.ReadQuoted();
}

void AddMessage(CsfTable& table, const PoMessage& message)
{
    const std::string name = Latin1FromUtf8(*message.context);
    if (table.labels.empty() || table.labels.back().name != name || message.noStrings)
        table.labels.push_back({name, {}});
    if (!message.noStrings) {
        const std::string& value = message.translation.empty() ? message.id : message.translation;
        table.labels.back().strings.push_back({Utf16FromUtf8(value), message.extra});
    }
}

} // namespace

std::string WritePo(const CsfTable& table)
{
    std::string out(PoHeader);
    const auto message = [&out](const std::string& name, std::u16string_view value) {
        out += "msgctxt ";
        AppendQuoted(out, name);
        out += "\nmsgid ";
        AppendQuoted(out, Utf8FromUtf16(value));
        out += "\nmsgstr \"\"\n\n";
    };
    for (const auto& label : table.labels) {
        const std::string name = Utf8FromLatin1(label.name);
        if (label.strings.empty()) {
            out += NoStringsComment;
            out += '\n';
            message(name, {});
        }
        for (const auto& string : label.strings) {
            if (string.extra) {
                out += ExtraComment;
                AppendQuoted(out, Utf8FromLatin1(*string.extra));
                out += '\n';
            }
            message(name, string.value);
        }
    }
    return out;
}

TextTableResult ReadPo(std::string_view text)
{
    TextTableResult result;
    PoMessage message;
    const auto fail = [&result](size_t line, std::string problem) {
        result.ok = false;
        result.line = line;
        result.problem = std::move(problem);
        return result;
    };
    const auto finish = [&](size_t line) {
        if (message.complete && !message.context && !message.id.empty())
            return fail(line, "the message has no msgctxt naming its label");
        if (message.complete && message.context)
            AddMessage(result.table, message);
        message = {};
        return result;
    };
    TextCursor cursor(text);
    while (!cursor.AtEnd()) {
        const size_t line = cursor.Line();
        const std::string_view content = cursor.RestOfLine();
        std::optional<std::string> quoted;
        if (content.starts_with('"') && message.field) {
            if (!(quoted = QuotedAfter(content, 0)))
                return fail(line, "the quoted text does not end");
            *message.field += *quoted;
            continue;
        }
        const bool startsMessage = content.starts_with('#') || content.starts_with("msgctxt") || content.starts_with("msgid");
        if (startsMessage && message.complete && !finish(line).ok)
            return result;
        if (content.starts_with(ExtraComment)) {
            if (!(message.extra = QuotedAfter(content, ExtraComment.size())))
                return fail(line, "the extra value is not quoted");
            message.extra = Latin1FromUtf8(*message.extra);
        } else if (content.starts_with(NoStringsComment)) {
            message.noStrings = true;
        } else if (content.empty() || content.starts_with('#')) {
            message.field = nullptr;
        } else {
            const size_t space = content.find_first_of(" \t");
            const std::string_view keyword = content.substr(0, space);
            if (keyword != "msgctxt" && keyword != "msgid" && keyword != "msgstr")
                return fail(line, "\"" + std::string(keyword) + "\" is not understood here");
            if (!(quoted = QuotedAfter(content, keyword.size())))
                return fail(line, std::string(keyword) + " needs a quoted text");
            if (keyword == "msgctxt")
                message.field = &message.context.emplace(*quoted);
            else if (keyword == "msgid")
                message.field = &(message.id = *quoted);
            else {
                message.field = &(message.translation = *quoted);
                message.complete = true;
            }
        }
    }
    return finish(cursor.Line());
}

} // namespace kestrel
