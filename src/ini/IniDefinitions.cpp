#include "ini/IniDefinitions.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/StructureDescriptionText.h"

#include <algorithm>

namespace kestrel {
namespace {

/// The key of a (folder, type) pair in the lookup cache.
std::string CacheKey(std::string_view folder, std::string_view type)
{
    std::string key = AsciiLowered(folder);
    key += '\n';
    key += type;
    return key;
}

} // namespace

std::string_view IniDefinitions::DefinedType(std::string_view headerWord)
{
    if (headerWord == "ObjectReskin" || headerWord == "ChildObject")
        return "Object";
    return headerWord;
}

std::vector<IniDefinition> DefinitionsOf(const CIniBlock& root)
{
    std::vector<IniDefinition> found;
    std::vector<const CIniBlock*> pending;
    for (auto it = root.Children().rbegin(); it != root.Children().rend(); ++it)
        pending.push_back(it->second.get());
    while (!pending.empty()) {
        const CIniBlock& block = *pending.back();
        pending.pop_back();
        if (block.GetStartLine() < 0)
            continue;
        if (EqualsIgnoringAsciiCase(block.GetName(), "end")) {
            for (auto it = block.Children().rbegin(); it != block.Children().rend(); ++it)
                pending.push_back(it->second.get());
            continue;
        }
        const std::vector<std::string_view> words = SplitWords(block.GetRest());
        // One-line entries ("LODPreset LOW Intel 800 ...") hold settings, not names.
        if (words.empty() || block.GetStartLine() == block.GetEndLine())
            continue;
        found.push_back({std::string(IniDefinitions::DefinedType(block.GetName())), std::string(words[0]),
                         block.GetStartLine()});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    return found;
}

void IniDefinitions::SetEntry(const std::string& entry, const CIniBlock& root)
{
    m_entries[entry] = DefinitionsOf(root);
    m_cache.clear();
}

void IniDefinitions::RemoveEntry(const std::string& entry)
{
    if (m_entries.erase(entry) > 0)
        m_cache.clear();
}

const IniDefinitions::NameSet& IniDefinitions::NamesOf(std::string_view folder, std::string_view type) const
{
    std::unique_ptr<NameSet>& cached = m_cache[CacheKey(folder, type)];
    if (cached)
        return *cached;
    cached = std::make_unique<NameSet>();
    const std::string loweredFolder = AsciiLowered(folder);
    for (const auto& [entry, definitions] : m_entries) {
        if (AsciiLowered(entry).find(loweredFolder) == std::string::npos)
            continue;
        for (const IniDefinition& definition : definitions) {
            if (definition.type == type && cached->lowered.insert(AsciiLowered(definition.name)).second)
                cached->names.push_back(definition.name);
        }
    }
    return *cached;
}

bool IniDefinitions::Knows(std::string_view folder, std::string_view type) const
{
    return !NamesOf(folder, type).names.empty();
}

bool IniDefinitions::Defines(std::string_view folder, std::string_view type, std::string_view name) const
{
    return NamesOf(folder, type).lowered.contains(AsciiLowered(name));
}

const std::vector<std::string>& IniDefinitions::Names(std::string_view folder, std::string_view type) const
{
    return NamesOf(folder, type).names;
}

std::vector<IniDefinitions::Location> IniDefinitions::Find(std::string_view name) const
{
    std::vector<Location> found;
    for (const auto& [entry, definitions] : m_entries) {
        for (const IniDefinition& definition : definitions) {
            if (definition.name == name)
                found.push_back({&entry, definition.line});
        }
    }
    return found;
}

} // namespace kestrel
