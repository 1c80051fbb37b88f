#include "ini/IniBlockParser.h"

#include "base/AsciiCase.h"
#include "base/DebugSink.h"
#include "base/IPrompt.h"
#include "ini/CIniBlock.h"
#include "ini/IniScan.h"

namespace kestrel {

namespace {

constexpr std::string_view kImplementsFailure =
    "Failed to implement, no parent has parsed this yet (or doesn't have this module at all)";

bool HasKey(const CIniBlock* configuration, std::string_view key)
{
    return configuration && configuration->FindValue(key);
}

/// The first blank-separated word of `text` after its first "=", or "".
std::string_view FirstWordAfterEquals(std::string_view text)
{
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return {};
    std::size_t begin = eq + 1;
    while (begin < text.size() && ini::IsWhiteSpace(text[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !ini::IsWhiteSpace(text[end]))
        ++end;
    return text.substr(begin, end - begin);
}

/// Whether a line starting with `key` inside `parent` opens a module although it holds "=";
/// `line` is the line's text from after the key on. A forced object's value may limit that: its
/// words name the blocks inside which it applies, and its words written "=Word" the first words
/// after "=" with which it applies. Some games use one word for a sub-block in one block type and
/// a plain key in others, or open a block only when the value starts with a keyword.
bool OpensModule(const CIniBlock* forcedObjects, std::string_view key, const CIniBlock* parent, std::string_view line)
{
    const IniValue* forced = forcedObjects ? forcedObjects->FindValue(key) : nullptr;
    if (!forced)
        return false;
    bool parentNamed = false;
    bool parentFound = false;
    bool valueNamed = false;
    bool valueFound = false;
    std::string_view words = forced->text;
    while (!words.empty()) {
        const std::size_t blank = words.find_first_of(" \t");
        const std::string_view word = words.substr(0, blank);
        words = blank == std::string_view::npos ? std::string_view() : words.substr(blank + 1);
        if (word.empty())
            continue;
        if (word.front() == '=') {
            valueNamed = true;
            valueFound = valueFound || EqualsIgnoringAsciiCase(word.substr(1), FirstWordAfterEquals(line));
        } else {
            parentNamed = true;
            parentFound = parentFound || (parent && parent->GetName() == word);
        }
    }
    return (!parentNamed || parentFound) && (!valueNamed || valueFound);
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

/// True when `text` begins with `word` standing alone (followed by white space, a quote or nothing).
bool StartsWithWord(std::string_view text, std::string_view word)
{
    if (!StartsWith(text, word))
        return false;
    return text.size() == word.size() || ini::IsWhiteSpace(text[word.size()]) || text[word.size()] == '"';
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string replaced;
    for (std::size_t at = text.find(from); at != std::string_view::npos; at = text.find(from)) {
        replaced.append(text.substr(0, at)).append(to);
        text.remove_prefix(at + from.size());
    }
    return replaced.append(text);
}

/// Blocks and values in the subtree of `root`, counted up to `limit` + 1.
std::size_t CountSubtree(const CIniBlock& root, std::size_t limit)
{
    std::size_t count = 0;
    std::vector<const CIniBlock*> pending{&root};
    while (!pending.empty() && count <= limit) {
        const CIniBlock* block = pending.back();
        pending.pop_back();
        count += 1 + block->Values().size();
        for (const auto& child : block->Children())
            pending.push_back(child.second.get());
    }
    return count;
}

std::vector<std::string> KeysOf(const CIniBlock* block)
{
    std::vector<std::string> keys;
    if (block) {
        for (const auto& value : block->Values())
            keys.push_back(value.first);
    }
    return keys;
}

} // namespace

IniBlockParser::IniBlockParser(std::string_view text, std::int32_t& line)
    : m_text(text.substr(0, kMaxTextLength)), m_line(line), m_copyBudget(65536 + 16 * m_text.size())
{
}

std::int64_t IniBlockParser::Parse(CIniBlock& block, std::size_t offset)
{
    Step header = ReadHeader(block, offset);
    if (header.complete)
        return header.consumed;

    std::vector<Frame> stack;
    stack.push_back(Frame{&block, nullptr, offset, header.pos});
    for (;;) {
        Frame& top = stack.back();
        const Step body = ReadBody(top);
        std::int64_t consumed = body.consumed;
        bool complete = body.complete;
        if (!complete) {
            auto child = std::make_unique<CIniBlock>(top.block->GetStructureConfig(), top.block->m_prompt);
            child->m_parent = top.block;
            const Step childHeader = ReadHeader(*child, body.pos);
            if (!childHeader.complete) {
                CIniBlock* raw = child.get();
                stack.push_back(Frame{raw, std::move(child), body.pos, childHeader.pos});
                continue;
            }
            complete = ChildEnded(top, std::move(child), body.pos, childHeader.consumed, consumed);
        }
        while (complete) {
            if (stack.size() == 1)
                return consumed;
            Frame done = std::move(stack.back());
            stack.pop_back();
            complete = ChildEnded(stack.back(), std::move(done.owned), done.start, consumed, consumed);
        }
    }
}

bool IniBlockParser::ChildEnded(Frame& parent, std::unique_ptr<CIniBlock> child, std::size_t childStart,
                                std::int64_t consumed, std::int64_t& parentConsumed)
{
    if (consumed >= 0) {
        parent.pos = childStart + static_cast<std::size_t>(consumed);
        CIniBlock::ChildMap& children = parent.block->m_children;
        children.emplace(child->m_name, std::move(child));
        return false;
    }
    // A child whose header is the last line without a line feed is dropped, and its parent ends
    // with the text.
    parent.block->m_unterminated = true;
    const std::size_t next = ini::NextLine(m_text, childStart);
    ++m_line;
    parentConsumed = static_cast<std::int64_t>((next == ini::kNoPosition ? m_text.size() : next) - parent.start);
    return true;
}

const ini::CommentMarkers& IniBlockParser::Markers(const CIniBlock& block)
{
    if (block.m_lineComments != m_markersFrom) {
        m_markersFrom = block.m_lineComments;
        std::vector<std::string> markers = KeysOf(m_markersFrom);
        // ";" is a comment in every dialect already.
        std::erase(markers, ";");
        m_markers = ini::CommentMarkers(std::move(markers));
    }
    return m_markers;
}

IniBlockParser::Step IniBlockParser::ReadHeader(CIniBlock& block, std::size_t offset)
{
    const ini::CommentMarkers& markers = Markers(block);
    const std::size_t first = ini::Skip(m_text, offset, m_line, markers);
    if (first == ini::kNoPosition)
        return {true, static_cast<std::int64_t>(m_text.size() - offset), 0};

    const std::string_view name = ini::Token(m_text, first, markers);
    const std::size_t pos = first + name.size();
    block.m_name.assign(name);
    if (HasKey(block.m_directives, block.m_name))
        return ReadDirective(block, offset, pos);
    std::int64_t consumed = 0;
    if (ReadRawText(block, offset, pos, consumed))
        return {true, consumed, 0};

    block.m_rest.assign(ini::CutBeforeComment(ini::Trim(ini::RestOfLine(m_text, pos)), markers));
    FoldModuleName(block);
    ApplyImplements(block);
    block.m_rest = WithListMarker(block.m_rest);

    block.m_startLine = block.m_endLine = m_line;
    const std::size_t next = ini::NextLine(m_text, pos);
    if (next == ini::kNoPosition)
        return {true, -1, 0};
    ++m_line;
    if (HasKey(block.m_forcedValues, block.m_name))
        return {true, static_cast<std::int64_t>(next - offset), 0};
    return {false, 0, next};
}

// A directive is kept whole as a one-line block: its text may name a file or a macro, and the
// games never let it open or close anything. Unlike other one-line blocks it is kept on the last
// line of a text too, since nothing in it can be unfinished.
IniBlockParser::Step IniBlockParser::ReadDirective(CIniBlock& block, std::size_t offset, std::size_t pos)
{
    block.m_rest.assign(ini::Trim(ini::CutBeforeComment(ini::RestOfLine(m_text, pos), Markers(block))));
    block.m_startLine = block.m_endLine = m_line;
    const std::size_t next = ini::NextLine(m_text, pos);
    if (next == ini::kNoPosition)
        return {true, static_cast<std::int64_t>(m_text.size() - offset), 0};
    ++m_line;
    return {true, static_cast<std::int64_t>(next - offset), 0};
}

bool IniBlockParser::ReadRawText(CIniBlock& block, std::size_t offset, std::size_t pos, std::int64_t& consumed)
{
    if (!block.m_stringAreas)
        return false;
    const CIniBlock* area = block.m_stringAreas->FindChild(block.m_name);
    const IniValue* terminator = area ? area->FindValue("End") : nullptr;
    if (!terminator)
        return false;

    block.m_startLine = m_line;
    const std::size_t found = m_text.find(terminator->text, pos);
    block.m_unterminated = found == std::string_view::npos;
    const std::size_t stop = found == std::string_view::npos ? m_text.size() : found;
    const std::size_t after = found == std::string_view::npos ? m_text.size() : found + terminator->text.size();
    m_line += ini::CountLineFeeds(m_text.substr(pos, after - pos));
    block.m_rest.assign(m_text.substr(pos, stop - pos));
    block.m_endLine = m_line;
    consumed = static_cast<std::int64_t>(after - offset);
    return true;
}

void IniBlockParser::FoldModuleName(CIniBlock& block)
{
    std::string& rest = block.m_rest;
    const std::size_t eq = rest.find('=');
    if (StartsWith(rest, "Specified")) {
        rest.erase(0, 9);
    } else if (eq != std::string::npos && OpensModule(block.m_forcedObjects, block.m_name, block.m_parent, rest) &&
               !HasKey(block.m_objectsWithLists, block.m_name)) {
        rest.erase(eq, 1);
    } else {
        return;
    }
    block.m_name += " = ";
    const std::string_view trimmed = ini::Trim(rest);
    const std::size_t split = trimmed.find_first_of(" \t");
    block.m_name += trimmed.substr(0, split);
    rest = split == std::string_view::npos ? std::string() : std::string(trimmed.substr(split + 1));
}

void IniBlockParser::ApplyImplements(CIniBlock& block)
{
    static constexpr std::string_view kKeyword = "Implements";
    std::string& rest = block.m_rest;
    for (std::size_t at = rest.find(kKeyword); at != std::string::npos; at = rest.find(kKeyword)) {
        std::string_view after = ini::Trim(std::string_view(rest).substr(at + kKeyword.size()));
        for (std::string_view limiter : {"Values", "Modules"}) {
            if (StartsWithWord(after, limiter))
                after = ini::Trim(after.substr(limiter.size()));
        }
        std::string target;
        std::string_view remaining;
        if (!after.empty() && after.front() == '"') {
            const std::size_t close = after.find('"', 1);
            const std::size_t length = close == std::string_view::npos ? std::string_view::npos : close - 1;
            target = ReplaceAll(after.substr(1, length), "Specified", "=");
            remaining = close == std::string_view::npos ? std::string_view() : after.substr(close + 1);
        } else {
            const std::size_t blank = after.find_first_of(" \t");
            target.assign(after.substr(0, blank));
            remaining = blank == std::string_view::npos ? std::string_view() : after.substr(blank);
        }
        std::string joined = rest.substr(0, at);
        joined += remaining;
        rest.assign(ini::Trim(joined));
        Implement(block, target);
    }
}

void IniBlockParser::Implement(CIniBlock& block, const std::string& target)
{
    const CIniBlock* source = nullptr;
    for (const CIniBlock* ancestor = block.m_parent; ancestor && !source; ancestor = ancestor->m_parent) {
        if (!TakeFromBudget(1))
            return;
        source = ancestor->m_name == target ? ancestor : ancestor->FindChild(target);
    }
    if (!source) {
        if (block.m_prompt)
            block.m_prompt->ShowMessage(std::string(kImplementsFailure), target);
        else
            DebugLine(std::string(kImplementsFailure) + ": " + target);
        return;
    }
    if (!TakeFromBudget(CountSubtree(*source, m_copyBudget)))
        return;

    const std::int32_t startLine = block.m_startLine;
    const std::int32_t endLine = block.m_endLine;
    std::string name = std::move(block.m_name);
    std::string rest = std::move(block.m_rest);
    const CIniBlock* parent = block.m_parent;
    // The block is not yet among its parent's children, so the source cannot contain it.
    block.CopyHeaderFrom(*source);
    block.MergeContentsFrom(*source);
    block.m_startLine = startLine;
    block.m_endLine = endLine;
    block.m_name = std::move(name);
    block.m_rest = std::move(rest);
    block.m_parent = parent;
}

bool IniBlockParser::TakeFromBudget(std::size_t units)
{
    if (units > m_copyBudget) {
        if (m_copyBudget > 0)
            DebugLine("INI text implements more than it can copy; the remaining Implements are skipped");
        m_copyBudget = 0;
        return false;
    }
    m_copyBudget -= units;
    return true;
}

std::string IniBlockParser::WithListMarker(std::string_view rest)
{
    for (const auto& [word, marker] : {std::pair<std::string_view, std::string_view>{"Lists", "= "},
                                       std::pair<std::string_view, std::string_view>{"Selects", "=\t"}}) {
        if (StartsWith(rest, word)) {
            std::string_view list = rest.substr(word.size());
            if (!list.empty() && list.front() == ' ')
                list.remove_prefix(1);
            std::string marked(marker);
            marked += ini::Trim(list);
            return marked;
        }
    }
    return std::string(rest);
}

IniBlockParser::Step IniBlockParser::ReadBody(Frame& frame)
{
    CIniBlock& block = *frame.block;
    const ini::CommentMarkers& markers = Markers(block);
    const auto toEnd = [&] { return Step{true, static_cast<std::int64_t>(m_text.size() - frame.start), 0}; };
    const auto unterminated = [&] {
        block.m_unterminated = true;
        return toEnd();
    };
    for (;;) {
        const std::size_t pos = ini::Skip(m_text, frame.pos, m_line, markers);
        block.m_endLine = m_line;
        if (pos == ini::kNoPosition)
            return unterminated();

        const std::string_view token = ini::Token(m_text, pos, markers);
        if (HasKey(block.m_directives, token))
            return Step{false, 0, pos};
        const std::string_view line = ini::RestOfLine(m_text, pos);
        const std::size_t eq = line.find('=');
        const bool forcedObject = OpensModule(block.m_forcedObjects, token, &block, line.substr(token.size()));
        if (!forcedObject && (eq != std::string_view::npos || HasKey(block.m_forcedValues, token))) {
            AddValue(block, line, eq);
            const std::size_t next = ini::NextLine(m_text, pos);
            ++m_line;
            if (next == ini::kNoPosition) {
                block.m_endLine = m_line;
                return unterminated();
            }
            frame.pos = next;
            continue;
        }
        // The games close a block on any line whose first word is "End", whatever follows it
        // ("End Upgrade_X"); the rest is kept so that it stays visible.
        const std::string_view word = ini::FirstWord(line, markers);
        if (EqualsIgnoringAsciiCase(word, "end")) {
            block.m_endRest.assign(ini::Trim(ini::CutBeforeComment(line.substr(word.size()), markers)));
            block.m_endLine = m_line++;
            const std::size_t next = ini::NextLine(m_text, pos);
            return next == ini::kNoPosition ? toEnd() : Step{true, static_cast<std::int64_t>(next - frame.start), 0};
        }
        return Step{false, 0, pos};
    }
}

void IniBlockParser::AddValue(CIniBlock& block, std::string_view line, std::size_t eq)
{
    std::size_t separator = eq;
    if (separator == std::string_view::npos)
        separator = line.find(' ');
    if (separator == std::string_view::npos)
        separator = line.find('\r');
    if (separator == std::string_view::npos)
        separator = line.size();
    const std::string_view text = separator < line.size()
                                      ? ini::CutBeforeComment(ini::Trim(line.substr(separator + 1)), Markers(block))
                                      : std::string_view();
    block.m_values.emplace(std::string(ini::Trim(line.substr(0, separator))),
                           IniValue{std::string(text), m_line});
}

} // namespace kestrel
