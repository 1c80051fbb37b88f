#include "ini/CIniBlock.h"

#include "base/File.h"
#include "ini/IniBlockParser.h"

#include <cassert>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

namespace kestrel {

namespace {

template <typename Map>
auto FirstWithKey(Map& map, std::string_view key)
{
    auto found = map.lower_bound(key);
    return (found != map.end() && found->first == key) ? found : map.end();
}

template <typename Map>
auto AtIndex(const Map& map, int i)
{
    if (i < 0 || static_cast<std::size_t>(i) >= map.size())
        return map.end();
    return std::next(map.begin(), i);
}

} // namespace

CIniBlock::CIniBlock(const CIniBlock* forcedObjects, const CIniBlock* forcedValues, const CIniBlock* objectsWithLists,
                     const CIniBlock* stringAreas, IPrompt* prompt)
    : m_forcedValues(forcedValues), m_forcedObjects(forcedObjects), m_objectsWithLists(objectsWithLists),
      m_stringAreas(stringAreas), m_prompt(prompt)
{
}

CIniBlock::CIniBlock(const StructureConfig& config, IPrompt* prompt)
    : CIniBlock(config.forcedObjects, config.forcedValues, config.objectsWithLists, config.stringAreas, prompt)
{
    m_lineComments = config.lineComments;
    m_directives = config.directives;
}

CIniBlock::~CIniBlock()
{
    Clear();
}

void CIniBlock::Clear()
{
    m_values.clear();
    // Subtrees are taken apart without recursion: a parsed text may nest a million blocks deep.
    std::vector<std::unique_ptr<CIniBlock>> pending;
    const auto release = [&pending](ChildMap& children) {
        for (auto& child : children)
            pending.push_back(std::move(child.second));
        children.clear();
    };
    release(m_children);
    while (!pending.empty()) {
        const std::unique_ptr<CIniBlock> block = std::move(pending.back());
        pending.pop_back();
        release(block->m_children);
    }
}

bool CIniBlock::LoadFile(const std::filesystem::path& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.empty())
        return false;
    return ParseText(bytes);
}

bool CIniBlock::ParseText(std::string_view text)
{
    Clear();
    std::int32_t line = 0;
    m_startLine = 0;
    IniBlockParser parser(text, line);
    text = text.substr(0, IniBlockParser::kMaxTextLength);
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto block = std::make_unique<CIniBlock>(GetStructureConfig(), m_prompt);
        const std::int64_t consumed = parser.Parse(*block, pos);
        if (consumed < 0)
            break;
        pos += static_cast<std::size_t>(consumed);
        // Trailing blank lines and comments leave a block without name and rest.
        if (!block->m_name.empty() || !block->m_rest.empty())
            m_children.emplace(block->m_name, std::move(block));
    }
    m_endLine = line;
    return true;
}

std::int32_t CIniBlock::ParseBlock(std::string_view text, std::int32_t& line)
{
    IniBlockParser parser(text, line);
    return static_cast<std::int32_t>(parser.Parse(*this, 0));
}

const CIniBlock* CIniBlock::FindChild(std::string_view name) const
{
    const auto found = FirstWithKey(m_children, name);
    return found == m_children.end() ? nullptr : found->second.get();
}

const IniValue* CIniBlock::FindValue(std::string_view key) const
{
    const auto found = FirstWithKey(m_values, key);
    return found == m_values.end() ? nullptr : &found->second;
}

const CIniBlock* CIniBlock::GetChild(int i) const
{
    const auto found = AtIndex(m_children, i);
    return found == m_children.end() ? nullptr : found->second.get();
}

const std::string& CIniBlock::GetValueKey(int i) const
{
    static const std::string kNoKey;
    const auto found = AtIndex(m_values, i);
    return found == m_values.end() ? kNoKey : found->first;
}

const IniValue* CIniBlock::GetValue(int i) const
{
    const auto found = AtIndex(m_values, i);
    return found == m_values.end() ? nullptr : &found->second;
}

const CIniBlock* CIniBlock::FindBlockAtLine(std::int32_t line, int& valueIndex) const
{
    const CIniBlock* block = this;
    for (bool descended = true; descended;) {
        descended = false;
        for (const auto& child : block->m_children) {
            if (child.second->m_startLine <= line && line < child.second->m_endLine) {
                block = child.second.get();
                descended = true;
                break;
            }
        }
    }
    valueIndex = -1;
    int index = 0;
    for (const auto& value : block->m_values) {
        if (value.second.line == line) {
            valueIndex = index;
            break;
        }
        ++index;
    }
    return block;
}

void CIniBlock::CopyFrom(const CIniBlock& source)
{
    for (const CIniBlock* ancestor = m_parent; ancestor; ancestor = ancestor->m_parent) {
        if (ancestor == &source) {
            assert(false && "CopyFrom: the source contains this block");
            return;
        }
    }
    CopyHeaderFrom(source);
    MergeContentsFrom(source);
}

void CIniBlock::CopyHeaderFrom(const CIniBlock& source)
{
    m_startLine = -1;
    m_endLine = -1;
    m_rest = source.m_rest;
    m_name = source.m_name;
    m_parent = source.m_parent;
    m_forcedObjects = source.m_forcedObjects;
    m_forcedValues = source.m_forcedValues;
    m_objectsWithLists = source.m_objectsWithLists;
}

void CIniBlock::MergeContentsFrom(const CIniBlock& source)
{
    // Pairs of (target, source) still to merge, kept in the order a recursive merge would visit
    // them, so that a later child of the same name merges into what an earlier one created.
    std::vector<std::pair<CIniBlock*, const CIniBlock*>> pending{{this, &source}};
    std::vector<std::pair<CIniBlock*, const CIniBlock*>> level;
    while (!pending.empty()) {
        auto [target, from] = pending.back();
        pending.pop_back();
        for (const auto& [key, value] : from->m_values) {
            if (FirstWithKey(target->m_values, key) == target->m_values.end())
                target->m_values.emplace(key, value);
        }
        level.clear();
        for (const auto& [name, child] : from->m_children) {
            const auto existing = FirstWithKey(target->m_children, name);
            CIniBlock* into = nullptr;
            if (existing != target->m_children.end()) {
                // A merged child keeps its own place in the text and its own parent.
                into = existing->second.get();
                const std::pair<std::int32_t, std::int32_t> lines{into->m_startLine, into->m_endLine};
                const CIniBlock* parent = into->m_parent;
                into->CopyHeaderFrom(*child);
                std::tie(into->m_startLine, into->m_endLine) = lines;
                into->m_parent = parent;
            } else {
                auto created = std::make_unique<CIniBlock>(target->m_forcedObjects, target->m_forcedValues,
                                                           target->m_objectsWithLists, nullptr, target->m_prompt);
                created->CopyHeaderFrom(*child);
                created->m_parent = target;
                into = created.get();
                target->m_children.emplace(into->m_name, std::move(created));
            }
            level.emplace_back(into, child.get());
        }
        pending.insert(pending.end(), level.rbegin(), level.rend());
    }
}

StructureConfig CIniBlock::GetStructureConfig() const
{
    return StructureConfig{m_forcedObjects,    m_forcedValues, m_objectsWithLists,
                           m_stringAreas,      m_lineComments, m_directives};
}

} // namespace kestrel
