#include "ini/IniWorkspace.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"

#include <algorithm>

namespace kestrel {

IniWorkspace::IniWorkspace(const CIniBlock* gameBlock)
    : m_gameBlock(gameBlock), m_config(StructureConfig::FromGameBlock(gameBlock)), m_checker(gameBlock)
{
}

IniWorkspace::~IniWorkspace() = default;
IniWorkspace::IniWorkspace(IniWorkspace&&) noexcept = default;
IniWorkspace& IniWorkspace::operator=(IniWorkspace&&) noexcept = default;

void IniWorkspace::SetEntry(const std::string& name, std::string_view text, bool checked)
{
    auto root = std::make_unique<CIniBlock>(m_config);
    root->ParseText(text);
    m_definitions.SetEntry(name, *root);
    m_lowered.insert(AsciiLowered(name));
    if (checked)
        m_checked[name] = std::move(root);
    else
        m_checked.erase(name);
}

void IniWorkspace::RemoveEntry(const std::string& name)
{
    m_definitions.RemoveEntry(name);
    m_checked.erase(name);
    m_lowered.erase(AsciiLowered(name));
}

bool IniWorkspace::HoldsIgnoringCase(std::string_view name) const
{
    return m_lowered.contains(AsciiLowered(name));
}

const CIniBlock* IniWorkspace::Root(const std::string& name) const
{
    const auto found = m_checked.find(name);
    return found == m_checked.end() ? nullptr : found->second.get();
}

std::vector<std::string> IniWorkspace::CheckedEntries() const
{
    std::vector<std::string> names;
    names.reserve(m_checked.size());
    for (const auto& [name, root] : m_checked)
        names.push_back(name);
    return names;
}

std::vector<IniProblem> IniWorkspace::Check(const std::string& name) const
{
    const CIniBlock* root = Root(name);
    if (!root)
        return {};
    std::vector<IniProblem> problems = m_checker.CheckEntry(name, *root, &m_definitions);
    for (IniProblem& duplicate : FindDuplicateDefinitions(m_definitions, CheckedEntries())) {
        if (duplicate.entry == name)
            problems.push_back(std::move(duplicate));
    }
    std::stable_sort(problems.begin(), problems.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    return problems;
}

std::vector<IniProblem> IniWorkspace::CheckAll() const
{
    std::vector<std::string> entries = CheckedEntries();
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return LoadsBefore(a, b); });
    std::vector<IniProblem> problems;
    for (const std::string& entry : entries) {
        std::vector<IniProblem> found = m_checker.CheckEntry(entry, *m_checked.at(entry), &m_definitions);
        problems.insert(problems.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    }
    std::vector<IniProblem> duplicates = FindDuplicateDefinitions(m_definitions, entries);
    problems.insert(problems.end(), std::make_move_iterator(duplicates.begin()),
                    std::make_move_iterator(duplicates.end()));
    // Entries in load order, each entry's problems by line.
    std::map<std::string, std::size_t> rank;
    for (std::size_t i = 0; i < entries.size(); ++i)
        rank[entries[i]] = i;
    std::stable_sort(problems.begin(), problems.end(), [&](const IniProblem& a, const IniProblem& b) {
        const std::size_t ra = rank[a.entry];
        const std::size_t rb = rank[b.entry];
        return ra != rb ? ra < rb : a.line < b.line;
    });
    return problems;
}

bool IsIniEntryName(std::string_view name)
{
    const std::string lowered = AsciiLowered(name);
    return lowered.ends_with(".ini") || lowered.ends_with(".inc");
}

} // namespace kestrel
