#pragma once

#include "ini/IniChecker.h"
#include "ini/IniDefinitions.h"
#include "ini/StructureConfig.h"

#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CIniBlock;

/// The INI entries of a mod (an archive or a source folder) and of the game's own "ini.big",
/// parsed with one game's structure configuration, with what they define: what "kestrel-big
/// check", the language server and the editor check against. Checked entries keep their parsed
/// tree; entries only read for their definitions keep just those.
class IniWorkspace
{
public:
    /// `gameBlock` (may be none) must outlive the workspace.
    explicit IniWorkspace(const CIniBlock* gameBlock);
    ~IniWorkspace();
    IniWorkspace(IniWorkspace&&) noexcept;
    IniWorkspace& operator=(IniWorkspace&&) noexcept;

    /// Parses `text` as entry `name`, replacing an entry of that name. `checked` entries are
    /// the ones problems are reported for; the others only define names.
    void SetEntry(const std::string& name, std::string_view text, bool checked);
    void RemoveEntry(const std::string& name);

    /// Whether an entry of that name (A-Z case ignored) is in the workspace.
    bool HoldsIgnoringCase(std::string_view name) const;
    /// The parsed tree of a checked entry, or none.
    const CIniBlock* Root(const std::string& name) const;
    /// Checked entries, by name.
    std::vector<std::string> CheckedEntries() const;

    /// The problems of one checked entry, duplicates among the checked entries included.
    std::vector<IniProblem> Check(const std::string& name) const;
    /// The problems of every checked entry, entries in the order the game loads them.
    std::vector<IniProblem> CheckAll() const;

    const IniDefinitions& Definitions() const { return m_definitions; }
    const IniChecker& Checker() const { return m_checker; }
    const CIniBlock* GameBlock() const { return m_gameBlock; }

private:
    const CIniBlock* m_gameBlock;
    StructureConfig m_config;
    IniChecker m_checker;
    IniDefinitions m_definitions;
    std::map<std::string, std::unique_ptr<CIniBlock>> m_checked;
    std::set<std::string, std::less<>> m_lowered;
};

/// True for the entry names the games read as INI text (".ini", and ".inc" include files).
bool IsIniEntryName(std::string_view name);

} // namespace kestrel
