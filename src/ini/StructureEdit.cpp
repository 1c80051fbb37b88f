#include "ini/StructureEdit.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/IniScan.h"
#include "ini/StructureDescriptionText.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr std::string_view ModuleStep = "   ";
constexpr std::string_view ValueStep = "    ";

bool IsIndentation(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view LeadingWhiteSpace(std::string_view content)
{
    std::size_t end = 0;
    while (end < content.size() && IsIndentation(content[end]))
        ++end;
    return content.substr(0, end);
}

/// A blank line holds nothing but white space before its break; a last line without a break
/// (even an empty one) is not blank.
bool IsBlankLine(const TextLine& line)
{
    const std::size_t indent = LeadingWhiteSpace(line.content).size();
    if (indent == line.content.size())
        return line.breakLength > 0;
    return line.content[indent] == '\r';
}

bool IsHeaderLine(const CIniBlock& block, int line)
{
    return !block.GetName().empty() && block.GetStartLine() == line;
}

/// Configuration texts write ";" as "#" (and a module's "=" as "Specified"), because the
/// configuration file itself reads those as a remark and a value.
std::string Undisguised(std::string_view text)
{
    std::string result(text);
    std::replace(result.begin(), result.end(), '#', ';');
    return result;
}

std::string ReplacedAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

/// Where an inserted template goes and how far it is indented.
struct Insertion
{
    std::size_t offset = 0;
    std::string prefix; // a line end, when the template follows a last line without one
    std::string indentation;
};

Insertion PlaceInsertion(std::string_view text, const CIniBlock& block, int caretLine, bool module)
{
    const std::string_view step = module ? ModuleStep : ValueStep;
    const TextLine line = LineOfText(text, caretLine);
    Insertion insertion;
    if (!IsBlankLine(line)) {
        insertion.indentation = LeadingWhiteSpace(line.content);
        if (IsHeaderLine(block, caretLine))
            insertion.indentation += step;
        insertion.offset = line.NextLineStart();
        if (line.breakLength == 0 && !line.content.empty())
            insertion.prefix = PreferredLineEnd(text);
        return insertion;
    }
    insertion.offset = line.start;
    // Outside every block there is no header to line up with; a module of a top-level object
    // follows the blank line's own indentation.
    const bool ownIndentation = block.GetName().empty() || (module && block.GetParent() == nullptr);
    if (ownIndentation)
        insertion.indentation = LeadingWhiteSpace(line.content);
    else
        insertion.indentation = std::string(LeadingWhiteSpace(LineOfText(text, block.GetStartLine()).content)) + " ";
    if (IsHeaderLine(block, caretLine - 1))
        insertion.indentation += step;
    return insertion;
}

TextEdit InsertionEdit(const Insertion& insertion, std::string body)
{
    return TextEdit{insertion.offset, 0, insertion.prefix + std::move(body)};
}

/// The value part of a line: from `start` to the line's end, with a ";" remark kept aside.
struct ValueSpan
{
    std::size_t start = 0;
    std::size_t end = 0;
    std::string_view value;
    std::string_view remark;
};

ValueSpan SplitValue(const TextLine& line, std::size_t valueStart)
{
    const std::string_view rest = line.content.substr(valueStart);
    const std::size_t remark = rest.find(';');
    ValueSpan span;
    span.start = line.start + valueStart;
    span.end = line.ContentEnd();
    span.value = rest.substr(0, remark);
    span.remark = remark == std::string_view::npos ? std::string_view() : rest.substr(remark);
    return span;
}

/// Just after the line's first word (its key), past the white space in front of it.
std::size_t AfterFirstWord(std::string_view content)
{
    std::size_t pos = LeadingWhiteSpace(content).size();
    while (pos < content.size() && !ini::IsWhiteSpace(content[pos]))
        ++pos;
    return pos;
}

std::string WithRemark(std::string value, std::string_view remark)
{
    if (remark.empty())
        return value;
    if (!value.empty() && value.back() != ' ')
        value += ' ';
    return value + std::string(remark);
}

} // namespace

TextEdit AddModuleEdit(std::string_view text, const CIniBlock& block, int caretLine, const CIniBlock& module)
{
    const Insertion at = PlaceInsertion(text, block, caretLine, true);
    const std::string_view end = PreferredLineEnd(text);
    const std::string rest = Undisguised(ReplacedAll(module.GetRest(), "Specified", "="));
    return InsertionEdit(at, at.indentation + module.GetName() + " " + rest + std::string(end) + std::string(end)
                                 + at.indentation + "End" + std::string(end));
}

TextEdit AddValueEdit(std::string_view text, const CIniBlock& block, int caretLine, std::string_view key,
                      std::string_view description)
{
    const Insertion at = PlaceInsertion(text, block, caretLine, false);
    std::string line = at.indentation + std::string(key);
    const std::size_t direct = description.find("Direct");
    if (direct != std::string_view::npos)
        line += " " + Undisguised(description.substr(std::min(description.size(), direct + 7)));
    else
        line += " = " + Undisguised(description);
    return InsertionEdit(at, line + std::string(PreferredLineEnd(text)));
}

TextEdit SetObjectNameEdit(std::string_view text, int caretLine, std::string_view name, bool named,
                           bool appendedData)
{
    const TextLine line = LineOfText(text, caretLine);
    const std::size_t equals = line.content.find('=');
    const ValueSpan span = SplitValue(line, equals != std::string_view::npos ? equals + 1 : AfterFirstWord(line.content));
    const std::vector<std::string_view> words = SplitWords(span.value);

    std::string value = " ";
    std::size_t replaced = 0;
    if (named && !words.empty()) {
        value += std::string(words[0]) + " ";
        replaced = 1;
    }
    value += name;
    if (appendedData && replaced < words.size()) {
        const std::string_view trimmed = ini::Trim(span.value);
        const std::size_t after = static_cast<std::size_t>(words[replaced].data() + words[replaced].size()
                                                           - trimmed.data());
        const std::string_view kept = ini::Trim(trimmed.substr(after));
        if (!kept.empty())
            value += " " + std::string(kept);
    }
    return TextEdit{span.start, span.end - span.start, WithRemark(value, span.remark)};
}

TextEdit PickListEntryEdit(std::string_view text, int lineNumber, const CIniBlock& list, std::string_view entry,
                           bool selects, bool headerLine)
{
    const TextLine line = LineOfText(text, lineNumber);
    const std::size_t equals = line.content.find('=');
    const bool addEquals = equals == std::string_view::npos && headerLine;
    const std::size_t valueStart = equals != std::string_view::npos ? equals + 1 : AfterFirstWord(line.content);
    const ValueSpan span = SplitValue(line, valueStart);

    std::string value = addEquals ? " = " : " ";
    if (selects) {
        value += entry;
    } else {
        bool present = false;
        for (const std::string_view word : SplitWords(span.value)) {
            if (EqualsIgnoringAsciiCase(word, entry))
                present = true;
            else if (list.FindValue(word))
                value += std::string(word) + " ";
        }
        if (!present)
            value += std::string(entry) + " ";
    }
    return TextEdit{span.start, span.end - span.start, WithRemark(value, span.remark)};
}

} // namespace kestrel
